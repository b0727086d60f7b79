#include "tests/e2e/operator_screen.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <cstdlib>
#include <functional>

#include "core/shell/forms.h"
#include "sim/sim_runtime.h"
#include "support/media_clips.h"
#include "support/wait_until.h"
#include "tests/platform/x_server.h"

namespace vantora {
namespace {

// A real player answers in its own time; a check reads the database, so not too often.
bool wait_for(const std::function<bool()>& done, int timeout_ms) {
  return testing::wait_until(done, timeout_ms, 100);
}

using testing::OperatorScreen;

// The player ends with the test, whichever way the test ends.
struct Stopper {
  QProcess& process;
  ~Stopper() {
    process.kill();  // its unload is not under test; the designer goes with the X server
    process.waitForFinished();
  }
};

QString text_of(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// FF seeks the playing show, Set is refused (no right to set the clock) with one line in
// error.txt, and E'gency puts the emergency clip on air: the player played on through all three.
TEST(EndToEnd, OperatorButtonsOnTheRealScreen) {
  testing::XServer x(testing::XServer::WindowManager::kOpenbox);
  ASSERT_TRUE(x.problem().isEmpty()) << x.problem().toStdString();
  QTemporaryDir folder;
  const QString data = folder.path();
  const QString player = QStringLiteral(VANTORA_PLAYER_BINARY);
  ASSERT_EQ(QProcess::execute(player, {QStringLiteral("init-db"), data}), 0);
  const QString movie = data + QStringLiteral("/movie.mp4");
  {
    QFile ini(data + QStringLiteral("/channel.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("%1\ndesigner=\"%2\" \"%1/keys.log\"\naudio=none\n")
                  .arg(data, QStringLiteral(VANTORA_STAND_IN_BINARY))
                  .toUtf8());
  }

  const QString connection = QUuid::createUuid().toString();
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
  db.setDatabaseName(data + QStringLiteral("/wizard.db"));
  ASSERT_TRUE(db.open());
  auto value = [&db](const QString& sql) {
    QSqlQuery query(db);
    return query.exec(sql) && query.next() ? query.value(0) : QVariant();
  };
  // The start-up takes about 35 s (the designer's launch, then the day 10 s after the player
  // window): the show is due by then and starts from its beginning.
  const QDateTime start = QDateTime::currentDateTime().addSecs(10);
  QSqlQuery insert(db);
  ASSERT_TRUE(insert.exec(
      QStringLiteral(
          "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, start_offset, "
          "end_offset, show_start, show_end, started, completed, caption, text6, logo_file, "
          "picture_top, picture_height, start_now) VALUES ('%1', '%2', '%3', 0, 40, "
          "-1, -1, 0, 0, 'Show', '', 'NO', 0, 0, 0)")
          .arg(start.toString(u"yyyy-MM-dd HH:mm:ss"),
               start.addSecs(1800).toString(u"yyyy-MM-dd HH:mm:ss"), movie)));

  // The player must not hold the right to set the clock: run as root, it gives the right up.
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), x.display());
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(data);
  process.setStandardOutputFile(data + QStringLiteral("/player.log"));
  process.setStandardErrorFile(data + QStringLiteral("/player.log"), QIODevice::Append);
  QStringList command{player, QStringLiteral("--config"), data + QStringLiteral("/channel.ini"),
                      QStringLiteral("--quit-after"), QStringLiteral("90")};
  if (geteuid() == 0) {
    command = QStringList{QStringLiteral("--bounding-set"), QStringLiteral("-sys_time"),
                          QStringLiteral("--")} +
              command;
    process.start(QStringLiteral("setpriv"), command);
  } else {
    process.start(command.takeFirst(), command);
  }
  ASSERT_TRUE(process.waitForStarted());
  const Stopper stopper{process};
  // The clip is made while the player starts up: small and silent, it takes a moment.
  testing::MediaClips clips;
  clips.ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("testsrc=size=320x240:rate=25"), QStringLiteral("-t"),
                QStringLiteral("40"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                movie});
  ASSERT_TRUE(clips.ok()) << clips.error().toStdString();
  ASSERT_TRUE(QFile::copy(movie, data + QStringLiteral("/emergency/alert.mp4")));
  auto error_log = [&] { return text_of(data + QStringLiteral("/error.txt")); };
  auto report = [&] {
    return (text_of(data + QStringLiteral("/player.log")) + error_log()).toStdString();
  };

  auto saved_s = [&] {
    return value(QStringLiteral("SELECT saved_position FROM playlist")).toDouble();
  };
  sim::SimRuntime layout_clock(date_time::from_parts(2026, 12, 7, 8));
  const forms::PlayerForm layout(layout_clock);  // where the buttons are drawn
  OperatorScreen screen(x.display());

  // FF: the saved position leaps 10 s ahead of the clock. The first seconds of a clip belong to
  // its hand-over, until the window order puts the player back in front of the video.
  ASSERT_TRUE(wait_for([&] { return saved_s() >= 4; }, 60'000)) << report();
  QElapsedTimer since_ff;
  const double before_s = saved_s();
  since_ff.start();
  ASSERT_TRUE(screen.click(layout.FF));
  ASSERT_TRUE(wait_for([&] { return saved_s() >= before_s + 10; }, 3'000));
  EXPECT_LE(saved_s(), before_s + 10 + since_ff.elapsed() / 1000.0 + 1);

  // Set: refused, one line, and the player goes on.
  const qsizetype errors_before = error_log().count(u'\n');
  ASSERT_TRUE(screen.click(layout.B_Disp));
  QThread::msleep(300);
  ASSERT_TRUE(screen.click(layout.B_SetTime));
  EXPECT_TRUE(wait_for([&] { return error_log().count(u'\n') == errors_before + 1; }, 3'000));
  ASSERT_TRUE(screen.click(layout.B_Disp));

  // E'gency: the folder's clip goes on air at once, logged as an emergency, and the show's
  // position stands still behind it.
  ASSERT_TRUE(screen.click(layout.B_Restart));
  EXPECT_TRUE(wait_for(
      [&] {
        return value(QStringLiteral("SELECT COUNT(*) FROM Played WHERE caption = 'Emergency'"))
                   .toInt() == 1;
      },
      5'000));
  QThread::msleep(1000);
  const double interrupted_s = saved_s();
  QThread::msleep(1500);
  EXPECT_EQ(saved_s(), interrupted_s);
  EXPECT_EQ(process.state(), QProcess::Running);

  EXPECT_EQ(error_log().count(QStringLiteral("B_SetTime_Click()")), 1) << report();

  db.close();
  db = QSqlDatabase();
  QSqlDatabase::removeDatabase(connection);
}

}  // namespace
}  // namespace vantora
