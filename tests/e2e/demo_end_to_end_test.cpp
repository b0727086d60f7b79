#include <gtest/gtest.h>

#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "tests/e2e/real_screen.h"

namespace vantora {
namespace {

// The real program on a demo channel, headless under Xvfb and openbox through the same script
// the demo uses: start-up, the designer stand-in's keys, filler, then the first show to its end
// with its ad break, and another program's clipboard pause in its last segment. The news break
// is taken out of the show: it would replay the second segment from its start once more and
// cost the run some twenty seconds without showing anything the ad break does not. So is the
// day's news item, which would fall due as the run ends.
constexpr int kFirstShowIn_s = 40;
// Three 20-second segments, two ads (6 s and 8 s) with the second segment replayed from 0, the
// clipboard pause, and the polling's lateness at each change.
constexpr int kQuitAfter_s = 130;
// Into the show: the third segment plays.
constexpr int kClipboardAt_s = 66;
// The first segment's picture: 60 px down, 480 high as its row says; after filler it is 600 high
// (filler leaves the height at 600), which still covers this area.
const QRect kFirstSegmentPicture(0, 60, 800, 480);

// Share of sampled pixels that are bright and coloured: a test card, not a black window, a grey
// dialog or a white stand-in.
double colourful_share(const QImage& shot, const QRect& area) {
  int sampled = 0;
  int coloured = 0;
  for (int y = area.top(); y <= area.bottom(); y += 8) {
    for (int x = area.left(); x <= area.right(); x += 8) {
      const QColor colour = shot.pixelColor(x, y);
      ++sampled;
      coloured += colour.value() > 60 && colour.hsvSaturation() > 80 ? 1 : 0;
    }
  }
  return sampled == 0 ? 0.0 : static_cast<double>(coloured) / sampled;
}

// The clipboard once it differs from `written`, or `written` when it still holds it at the end.
QString clipboard_after(const QString& display, const QString& written, int within_ms) {
  QElapsedTimer clock;
  clock.start();
  QString text = testing::xclip(display);
  while (text == written && clock.elapsed() < within_ms) {
    QThread::msleep(200);
    text = testing::xclip(display);
  }
  return text;
}

TEST(EndToEnd, DemoChannelPlaysItsFirstShowThroughItsAdBreakOnXvfb) {
  QTemporaryDir folder;
  const QString data = folder.filePath(QStringLiteral("channel"));
  const QString player = QStringLiteral(VANTORA_PLAYER_BINARY);
  ASSERT_EQ(
      QProcess::execute(player, {QStringLiteral("demo-channel"), data,
                                 QStringLiteral("--first-show-in"), QString::number(kFirstShowIn_s),
                                 QStringLiteral("--ini-line"), QStringLiteral("audio=none")}),
      0);
  const QDateTime first_show = QDateTime::currentDateTime().addSecs(kFirstShowIn_s);
  testing::ChannelFolder channel(data);
  ASSERT_TRUE(channel.exec(QStringLiteral("DELETE FROM Slot_adv WHERE slot_kind = 1")));
  // The day's news item falls due just after the show, when the run is ending.
  ASSERT_TRUE(channel.exec(QStringLiteral("DELETE FROM News")));

  // Off every screen, as a service starts it; the session script brings its own X server.
  QProcess session;
  session.setProcessChannelMode(QProcess::MergedChannels);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  session.setProcessEnvironment(environment);
  session.start(
      QStringLiteral(VANTORA_SOURCE_DIR "/scripts/demo-session"),
      {QStringLiteral("--player"), player, QStringLiteral("--channel"), data,
       QStringLiteral("--headless"), QStringLiteral("--quit-after"), QString::number(kQuitAfter_s),
       QStringLiteral("--shot-every"), QStringLiteral("2")});
  QByteArray output;
  QString display;
  const QRegularExpression display_line(QStringLiteral("on Xvfb (:[0-9]+)"));
  const QDateTime clipboard_at = first_show.addSecs(kClipboardAt_s);
  while (session.state() != QProcess::NotRunning &&
         (display.isEmpty() || QDateTime::currentDateTime() < clipboard_at)) {
    session.waitForReadyRead(200);
    output += session.readAll();
    display = display_line.match(QString::fromLocal8Bit(output)).captured(1);
  }
  // Another program's clipboard pause, as it would do it: "DISC", answered "OK"; "CON", left
  // alone while the player is paused; then the operator's Play, after which the waiting "CON" is
  // answered and the show goes on.
  ASSERT_FALSE(display.isEmpty()) << output.toStdString();
  testing::xclip(display, "DISC");
  const QString after_disc = clipboard_after(display, QStringLiteral("DISC"), 3000);
  testing::xclip(display, "CON");
  const QString con_while_paused = clipboard_after(display, QStringLiteral("CON"), 2000);
  const bool play_clicked = testing::click_on_screen(display, testing::player_layout().play_pause);
  const QString after_play = clipboard_after(display, QStringLiteral("CON"), 3000);
  if (!session.waitForFinished((kQuitAfter_s + 90) * 1000)) {
    session.kill();
    session.waitForFinished();
  }
  output += session.readAll();
  const std::string report = QString::fromLocal8Bit(output).toStdString();
  // Quit by --quit-after through the Exit button, not ended by the session's time limit.
  EXPECT_EQ(session.exitStatus(), QProcess::NormalExit) << report;
  EXPECT_NE(session.exitCode(), 124) << report;
  EXPECT_NE(session.exitCode(), 137) << report;
  EXPECT_EQ(after_disc, QStringLiteral("OK")) << report;
  EXPECT_EQ(con_while_paused, QStringLiteral("CON")) << report;
  EXPECT_TRUE(play_clicked) << report;
  EXPECT_EQ(after_play, QStringLiteral("OK")) << report;

  // The designer received the start-up keys in order: Startup's, Load_Start's, play_Click's;
  // then the first clip's hand-over and, at the exit, the closing keys.
  const QStringList keys = channel.lines(QStringLiteral("designer-keys.log"));
  const QStringList start_up = {QStringLiteral("Ctrl+F1"), QStringLiteral("Alt+y"),
                                QStringLiteral("Alt+y"),   QStringLiteral("Alt+y"),
                                QStringLiteral("Alt+y"),   QStringLiteral("Space")};
  ASSERT_GE(keys.size(), start_up.size()) << report;
  EXPECT_EQ(keys.mid(0, start_up.size()), start_up) << report;
  EXPECT_EQ(keys.mid(keys.size() - 2),
            (QStringList{QStringLiteral("Ctrl+F2"), QStringLiteral("Ctrl+F2")}))
      << report;
  // The ad break: a "P" on every tick of the 5-second warning once the second segment has the
  // screen, "P{sleep 1}P" as each ad starts with one more "P" after the first for the second
  // one; then the show's resumption hands the screen back to the video with its two spaces.
  const QString P = QStringLiteral("P");
  const QString space = QStringLiteral("Space");
  const qsizetype last_p = keys.lastIndexOf(P);
  ASSERT_GE(last_p, 5) << report;
  EXPECT_EQ(keys.count(P), last_p - keys.indexOf(P) + 1) << "one run of P: " << report;
  EXPECT_GE(keys.count(P), 1 + 2 + 1 + 2) << report;
  EXPECT_EQ(keys.mid(last_p + 1, 2), (QStringList{space, space})) << report;

  // The clips in the order they ran: the second segment is cut by the two ads (by priority) and
  // comes back from its start, as it was cut at 10 s or less; then the third follows.
  QStringList clips;
  for (const QString& line : channel.lines(QStringLiteral("player.log"))) {
    if (line.contains(QStringLiteral("render to running"))) {
      clips.append(line.section(u'/', -1));
    }
  }
  const qsizetype show_at = clips.indexOf(QStringLiteral("movie-a-part1.mp4"));
  ASSERT_GE(show_at, 0) << report;
  EXPECT_EQ(clips.mid(show_at, 6),
            (QStringList{QStringLiteral("movie-a-part1.mp4"), QStringLiteral("movie-a-part2.mp4"),
                         QStringLiteral("ad-two.mp4"), QStringLiteral("ad-one.mp4"),
                         QStringLiteral("movie-a-part2.mp4"), QStringLiteral("movie-a-part3.mp4")}))
      << report;

  // The first show's first row was started; its scheduled start places the screenshots.
  const QStringList first_row = channel.rows(QStringLiteral(
      "SELECT started, substr(seg_start_time, 12, 8) FROM playlist WHERE show_start <> 0 ORDER BY "
      "seg_start_time LIMIT 1"));
  ASSERT_EQ(first_row.size(), 1);
  EXPECT_NE(first_row[0].section(u' ', 0, 0).toInt(), 0) << report;
  QTime show_start =
      QTime::fromString(first_row[0].section(u' ', 1, 1), QStringLiteral("HH:mm:ss"));
  if (!show_start.isValid()) {
    show_start = first_show.time();
  }
  // The play log in play order: a segment when it finished, both flags set; an ad as it started,
  // neither set.
  QStringList logged;
  for (const QString& row : channel.rows(QStringLiteral(
           "SELECT file_name, iif(started <> 0, 'True', 'False'), iif(completed <> 0, 'True', "
           "'False') FROM Played ORDER BY id"))) {
    logged.append(row.section(u'/', -1));
  }
  EXPECT_EQ(logged, (QStringList{QStringLiteral("movie-a-part1.mp4 True True"),
                                 QStringLiteral("ad-two.mp4 False False"),
                                 QStringLiteral("ad-one.mp4 False False"),
                                 QStringLiteral("movie-a-part2.mp4 True True"),
                                 QStringLiteral("movie-a-part3.mp4 True True")}))
      << report;

  // The first segment shows in the video window at its place: a screenshot taken a few seconds
  // into the show, before the designer is warned of the ad break, has the test card in the
  // segment's picture.
  QString during_show;
  const QDir screens(QDir(data).filePath(QStringLiteral("screens")));
  for (const QString& name :
       screens.entryList({QStringLiteral("shot-*.png")}, QDir::Files, QDir::Name)) {
    const QTime taken = QTime::fromString(name.mid(5, 6), QStringLiteral("HHmmss"));
    // Seconds from the show's start to the shot, on a clock face (the run may span midnight).
    const int after_start_s = ((show_start.secsTo(taken) % 86400) + 86400 + 43200) % 86400 - 43200;
    if (after_start_s >= 5 && after_start_s < 15) {
      during_show = name;
      break;
    }
  }
  ASSERT_FALSE(during_show.isEmpty()) << "no screenshot after the show started\n" << report;
  const QImage shot(screens.filePath(during_show));
  ASSERT_EQ(shot.size(), QSize(800, 600));
  EXPECT_GT(colourful_share(shot, kFirstSegmentPicture), 0.3) << during_show.toStdString();
}

}  // namespace
}  // namespace vantora
