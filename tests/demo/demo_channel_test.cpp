#include "app/demo/demo_channel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "base/errors.h"
#include "platform/mpv/mpv_engine.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "support/schedule_fixture.h"

namespace vantora::platform::demo {
namespace {

// A schedule that names a missing file plays nothing there: every file and folder the demo
// channel's schedule names exists, and every segment's clip is as long as its end offset says to
// the engine that plays it. A folder that already holds a schedule is refused and left alone.
TEST(DemoChannel, EveryPathTheScheduleNamesExistsAndAScheduleIsNeverOverwritten) {
  QTemporaryDir folder;
  ChannelOptions options;
  options.folder = folder.filePath(QStringLiteral("demo channel"));
  options.designer_program = QStringLiteral("/opt/stand in/designer");
  options.platform_lines = {QStringLiteral("audio=none")};
  make_channel(options, [] { return date_time::from_parts(2026, 12, 6, 10, 0, 0, 250); });
  const QString schedule = QDir(options.folder).filePath(kScheduleFileName);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demo"));
    db.setDatabaseName(schedule);
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT file_name, end_offset FROM playlist")));
    const auto duration_s = lazy_duration_probe();
    int segments = 0;
    while (query.next()) {
      ++segments;
      EXPECT_NEAR(duration_s(query.value(0).toString()).value_or(-1), query.value(1).toDouble(),
                  0.2)
          << query.value(0).toString().toStdString();
    }
    EXPECT_GT(segments, 0);
    ASSERT_TRUE(query.exec(QStringLiteral(
        "SELECT picture_file FROM logo UNION ALL SELECT media_path FROM adv UNION ALL "
        "SELECT folder_path FROM filler UNION ALL SELECT folder_path FROM News UNION ALL "
        "SELECT filler_folder FROM \"Player INI\" UNION ALL "
        "SELECT emergency_folder FROM \"Player INI\"")));
    while (query.next()) {
      const QFileInfo path(query.value(0).toString());
      EXPECT_TRUE(path.isFile() || (path.isDir() && !QDir(path.filePath()).isEmpty()))
          << path.filePath().toStdString();
    }
  }
  QSqlDatabase::removeDatabase(QStringLiteral("demo"));

  const QDateTime modified = QFileInfo(schedule).lastModified();
  EXPECT_RUNTIME_ERROR(make_channel(options, [] { return date_time::from_parts(2026, 12, 6, 11); }),
                       err::kPathFileAccessError);
  EXPECT_EQ(QFileInfo(schedule).lastModified(), modified);
}

}  // namespace
}  // namespace vantora::platform::demo
