#include <gtest/gtest.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <functional>
#include <optional>

#include "core/shell/forms.h"
#include "sim/sim_runtime.h"
#include "support/media_clips.h"
#include "tests/platform/x_server.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace vantora {
namespace {

// The operator's real buttons, pressed through the X server as a mouse would, on the real player
// under Xvfb: what the scripted clicks do must happen here too.
class OperatorScreen {
 public:
  explicit OperatorScreen(const QString& display)
      : display_(XOpenDisplay(display.toLocal8Bit().constData())) {}
  ~OperatorScreen() {
    if (display_ != nullptr) {
      XCloseDisplay(display_);
    }
  }
  OperatorScreen(const OperatorScreen&) = delete;
  OperatorScreen& operator=(const OperatorScreen&) = delete;

  bool ok() const { return display_ != nullptr; }

  // Clicks the middle of a control of the player window, wherever the window now stands; false
  // when the window is not on the screen.
  bool click(const forms::VisualControl& control) {
    const std::optional<QPoint> origin = window_origin(QStringLiteral("Vantora Player"));
    if (!origin) {
      return false;
    }
    const int x = origin->x() + control.Left.get() + control.Width.get() / 2;
    const int y = origin->y() + control.Top.get() + control.Height.get() / 2;
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    return true;
  }

 private:
  std::optional<QPoint> window_origin(const QString& title) {
    const std::optional<Window> window = find(XDefaultRootWindow(display_), title);
    if (!window) {
      return std::nullopt;
    }
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, *window, XDefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return QPoint(x, y);
  }

  std::optional<Window> find(Window window, const QString& title) {
    char* name = nullptr;
    if (XFetchName(display_, window, &name) != 0 && name != nullptr) {
      const bool match = title == QString::fromUtf8(name);
      XFree(name);
      XWindowAttributes attributes;
      if (match && XGetWindowAttributes(display_, window, &attributes) != 0 &&
          attributes.map_state == IsViewable) {
        return window;
      }
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::optional<Window> found;
    if (XQueryTree(display_, window, &root, &parent, &children, &count) != 0) {
      for (unsigned int i = 0; i < count && !found; ++i) {
        found = find(children[i], title);
      }
      if (children != nullptr) {
        XFree(children);
      }
    }
    return found;
  }

  Display* display_;
};

// Polls until `done` holds or the time is up.
bool wait_for(const std::function<bool()>& done, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeout_ms) {
      return false;
    }
    QThread::msleep(100);
  }
  return true;
}

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

int error_lines(const QString& folder) {
  QFile file(QDir(folder).filePath(QStringLiteral("error.txt")));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return 0;
  }
  return static_cast<int>(file.readAll().count('\n'));
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
  auto report = [&] {
    return (text_of(data + QStringLiteral("/player.log")) +
            text_of(data + QStringLiteral("/error.txt")))
        .toStdString();
  };

  auto saved_s = [&] {
    return value(QStringLiteral("SELECT saved_position FROM playlist")).toDouble();
  };
  sim::SimRuntime layout_clock(date_time::from_parts(2026, 12, 7, 8));
  const forms::PlayerForm layout(layout_clock);  // where the buttons are drawn
  OperatorScreen screen(x.display());
  ASSERT_TRUE(screen.ok());

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
  const int errors_before = error_lines(data);
  ASSERT_TRUE(screen.click(layout.B_Disp));
  QThread::msleep(300);
  ASSERT_TRUE(screen.click(layout.B_SetTime));
  EXPECT_TRUE(wait_for([&] { return error_lines(data) == errors_before + 1; }, 3'000));
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

  QFile errors(data + QStringLiteral("/error.txt"));
  EXPECT_TRUE(errors.open(QIODevice::ReadOnly));
  const QString log = QString::fromUtf8(errors.readAll());
  EXPECT_EQ(log.count(QStringLiteral("B_SetTime_Click()")), 1) << log.toStdString();

  db.close();
  db = QSqlDatabase();
  QSqlDatabase::removeDatabase(connection);
}

}  // namespace
}  // namespace vantora
