#include "app/demo/demo_channel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "base/errors.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "support/schedule_fixture.h"

namespace vantora::platform::demo {
namespace {

double probe_duration_s(const QString& file) {
  QProcess probe;
  probe.start(QStringLiteral("ffprobe"),
              {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
               QStringLiteral("format=duration"), QStringLiteral("-of"),
               QStringLiteral("default=noprint_wrappers=1:nokey=1"), file});
  probe.waitForFinished(30'000);
  return QString::fromUtf8(probe.readAllStandardOutput()).trimmed().toDouble();
}

// One channel made for the whole suite: generating the media takes a few seconds.
class DemoChannel : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new QTemporaryDir;
    ChannelOptions options;
    options.folder = channel();
    options.designer_program = QStringLiteral("/opt/stand in/designer");
    options.platform_lines = {QStringLiteral("audio=none")};
    summary_ = new ChannelSummary(
        make_channel(options, [] { return date_time::from_parts(2026, 12, 6, 10, 0, 0, 250); }));
  }
  static void TearDownTestSuite() {
    delete summary_;
    delete folder_;
  }
  static QString channel() { return folder_->filePath(QStringLiteral("demo channel")); }

  static inline QTemporaryDir* folder_ = nullptr;
  static inline ChannelSummary* summary_ = nullptr;
};

// A schedule that names a missing file plays nothing there: every file and folder it names
// exists, and every segment's clip is as long as its end offset says.
TEST_F(DemoChannel, EveryPathTheScheduleNamesExists) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demo"));
    db.setDatabaseName(QDir(channel()).filePath(kScheduleFileName));
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT file_name, end_offset FROM playlist")));
    int segments = 0;
    while (query.next()) {
      ++segments;
      EXPECT_NEAR(probe_duration_s(query.value(0).toString()), query.value(1).toDouble(), 0.2)
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
}

TEST_F(DemoChannel, AFolderWithAScheduleIsRefusedAndLeftAlone) {
  const QString schedule = QDir(channel()).filePath(kScheduleFileName);
  const QDateTime modified = QFileInfo(schedule).lastModified();
  ChannelOptions options;
  options.folder = channel();
  EXPECT_RUNTIME_ERROR(make_channel(options, [] { return date_time::from_parts(2026, 12, 6, 11); }),
                       err::kPathFileAccessError);
  EXPECT_EQ(QFileInfo(schedule).lastModified(), modified);
}

}  // namespace
}  // namespace vantora::platform::demo
