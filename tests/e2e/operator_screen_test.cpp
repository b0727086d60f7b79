#include <gtest/gtest.h>
#include <unistd.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>

#include "core/shell/forms.h"
#include "support/media_clips.h"
#include "tests/e2e/real_screen.h"
#include "tests/platform/x_server.h"

namespace vantora {
namespace {

using testing::wait_for;

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

  testing::ChannelFolder channel(data);
  // The start-up takes about 35 s (the designer's launch, then the day 10 s after the player
  // window): the show is due by then and starts from its beginning.
  const QDateTime start = QDateTime::currentDateTime().addSecs(10);
  ASSERT_TRUE(channel.exec(
      QStringLiteral(
          "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, start_offset, "
          "end_offset, show_start, show_end, started, completed, caption, text6, logo_file, "
          "picture_top, picture_height, start_now) VALUES ('%1', '%2', '%3', 0, 40, "
          "-1, -1, 0, 0, 'Show', '', 'NO', 0, 0, 0)")
          .arg(start.toString(u"yyyy-MM-dd HH:mm:ss"),
               start.addSecs(1800).toString(u"yyyy-MM-dd HH:mm:ss"), movie)));

  // The player must not hold the right to set the clock: run as root, it gives the right up.
  QProcess process;
  channel.start_player(
      process, x.display(),
      {QStringLiteral("--config"), data + QStringLiteral("/channel.ini"),
       QStringLiteral("--quit-after"), QStringLiteral("90")},
      geteuid() == 0 ? QStringList{QStringLiteral("setpriv"), QStringLiteral("--bounding-set"),
                                   QStringLiteral("-sys_time"), QStringLiteral("--")}
                     : QStringList{});
  ASSERT_EQ(process.state(), QProcess::Running);
  // The player ends with the test, whichever way the test ends: its unload is not under test;
  // the designer goes with the X server.
  const auto stop = qScopeGuard([&process] {
    process.kill();
    process.waitForFinished();
  });
  // The clip is made while the player starts up: small and silent, it takes a moment.
  testing::MediaClips clips;
  clips.ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("testsrc=size=320x240:rate=25"), QStringLiteral("-t"),
                QStringLiteral("40"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                movie});
  ASSERT_TRUE(clips.ok()) << clips.error().toStdString();
  ASSERT_TRUE(QFile::copy(movie, data + QStringLiteral("/emergency/alert.mp4")));
  auto error_log = [&] { return channel.text(QStringLiteral("error.txt")); };
  auto saved_s = [&] {
    return channel.value(QStringLiteral("SELECT saved_position FROM playlist")).toDouble();
  };
  const forms::PlayerForm& layout = testing::player_layout();
  const auto click = [&x](const forms::VisualControl& control) {
    return testing::click_on_screen(x.display(), control);
  };

  // FF: the saved position leaps 10 s ahead of the clock. The first seconds of a clip belong to
  // its hand-over, until the window order puts the player back in front of the video.
  ASSERT_TRUE(wait_for([&] { return saved_s() >= 4; }, 60'000)) << channel.report();
  QElapsedTimer since_ff;
  const double before_s = saved_s();
  since_ff.start();
  ASSERT_TRUE(click(layout.FF));
  ASSERT_TRUE(wait_for([&] { return saved_s() >= before_s + 10; }, 3'000));
  EXPECT_LE(saved_s(), before_s + 10 + since_ff.elapsed() / 1000.0 + 1);

  // Set: refused, one line, and the player goes on.
  const qsizetype errors_before = error_log().count(u'\n');
  ASSERT_TRUE(click(layout.B_Disp));
  QThread::msleep(300);
  ASSERT_TRUE(click(layout.B_SetTime));
  EXPECT_TRUE(wait_for([&] { return error_log().count(u'\n') == errors_before + 1; }, 3'000));
  ASSERT_TRUE(click(layout.B_Disp));

  // E'gency: the folder's clip goes on air at once, logged as an emergency, and the show's
  // position stands still behind it.
  ASSERT_TRUE(click(layout.B_Restart));
  EXPECT_TRUE(wait_for(
      [&] {
        return channel
                   .value(QStringLiteral("SELECT COUNT(*) FROM Played WHERE caption = 'Emergency'"))
                   .toInt() == 1;
      },
      5'000));
  QThread::msleep(1000);
  const double interrupted_s = saved_s();
  QThread::msleep(1500);
  EXPECT_EQ(saved_s(), interrupted_s);
  EXPECT_EQ(process.state(), QProcess::Running);

  EXPECT_EQ(error_log().count(QStringLiteral("B_SetTime_Click()")), 1) << channel.report();
}

}  // namespace
}  // namespace vantora
