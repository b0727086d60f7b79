#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#include "platform/mpv/mpv_engine.h"
#include "support/media_clips.h"

namespace vantora {
namespace {

// The real window needs a real X display, which the test process (on the offscreen platform)
// does not have: the parent test starts its own Xvfb and runs the child test in a second process
// of this binary on it.
constexpr char kChildSwitch[] = "VANTORA_VIDEO_WINDOW_CHILD";
const QString kCaption = QStringLiteral("Vantora Player Video Window");

void pump_events_ms(int duration_ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < duration_ms) {
    QCoreApplication::processEvents();
    QThread::msleep(20);
  }
}

TEST(MpvVideoWindow, ChildShowsThePictureInItsOwnWindow) {
  if (!qEnvironmentVariableIsSet(kChildSwitch)) {
    GTEST_SKIP() << "runs inside ShowsPicturesUnderXvfb";
  }
  testing::MediaClips clips;
  const QString clip = clips.h264(QStringLiteral("window.mp4"), 3.0);
  ASSERT_TRUE(clips.ok()) << clips.error().toStdString();

  platform::MpvEngine engine({platform::VideoOutput::kWindow, platform::AudioOutput::kNone, 5000});
  auto graph = engine.create_graph(ports::MediaMode::kNormal);
  graph->RenderFile(clip);
  graph->put_Top(40);
  graph->put_Height(600);
  graph->put_WindowStyle(0x06000000);
  graph->put_Left(0);
  graph->put_Width(800);
  graph->put_Caption(kCaption);
  graph->Run();
  pump_events_ms(1500);

  ASSERT_NE(graph->hwnd(), 0);
  QWidget* window = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() == kCaption) {
      window = widget;
    }
  }
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window->geometry(), QRect(0, 40, 800, 600));

  // Only the band above y = 200 is looked at: a window mpv opened on its own instead of drawing
  // into ours would sit centred on the 1024 x 768 screen, below that band.
  const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, 0, 40, 800, 160).toImage();
  qint64 lit = 0;
  for (int y = 0; y < shot.height(); y += 4) {
    for (int x = 0; x < shot.width(); x += 4) {
      lit += qGray(shot.pixel(x, y)) > 24 ? 1 : 0;
    }
  }
  const qint64 sampled = (shot.width() / 4) * (shot.height() / 4);
  EXPECT_GT(lit * 4, sampled) << "under a quarter of the window is lit: " << lit << "/" << sampled;
}

TEST(MpvVideoWindow, ShowsPicturesUnderXvfb) {
  if (qEnvironmentVariableIsSet(kChildSwitch)) {
    GTEST_SKIP();
  }
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  ASSERT_FALSE(xvfb.isEmpty()) << "Xvfb is needed (scripts/install-deps)";

  // Xvfb picks a free display itself and writes its number to the pipe.
  QProcess server;
  server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1024x768x24"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")});
  ASSERT_TRUE(server.waitForStarted(10000));
  QByteArray display;
  QElapsedTimer clock;
  clock.start();
  while (!display.contains('\n') && clock.elapsed() < 10000) {
    server.waitForReadyRead(500);
    display += server.readAllStandardOutput();
  }
  ASSERT_TRUE(display.contains('\n')) << "Xvfb did not report its display";

  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + display.trimmed());
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QString::fromLatin1(kChildSwitch), QStringLiteral("1"));
  // The graphics drivers loaded for the real window keep blocks until exit that no suppression
  // can name (they are unloaded by then); the headless tests check the engine for leaks.
  const QString sanitizer = environment.value(QStringLiteral("ASAN_OPTIONS"));
  environment.insert(QStringLiteral("ASAN_OPTIONS"),
                     sanitizer + (sanitizer.isEmpty() ? "" : ":") + "detect_leaks=0");
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=MpvVideoWindow.ChildShowsThePictureInItsOwnWindow")});
  const bool finished = child.waitForFinished(90000);
  const QString output = QString::fromLocal8Bit(child.readAll());

  server.terminate();
  server.waitForFinished(5000);

  ASSERT_TRUE(finished) << output.toStdString();
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

}  // namespace
}  // namespace vantora
