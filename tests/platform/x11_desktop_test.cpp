#include "platform/x11/x11_desktop.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "base/errors.h"
#include "core/designer/designer_link.h"
#include "core/designer/key_string.h"
#include "support/schedule_fixture.h"
#include "support/wait_until.h"
#include "tests/e2e/real_screen.h"
#include "tests/platform/x_server.h"

// Xlib's macros must come after every Qt header.
#include <X11/Xlib.h>

namespace vantora {
namespace {

using testing::wait_until;

using testing::XServer;

QStringList lines_of(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return {};
  }
  return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

class X11DesktopTest : public ::testing::TestWithParam<XServer::WindowManager> {
 protected:
  void SetUp() override {
    server_ = std::make_unique<XServer>(GetParam());
    ASSERT_FALSE(server_->display().isEmpty()) << server_->problem().toStdString();
    desktop_ = std::make_unique<platform::X11Desktop>(server_->display());
    ASSERT_TRUE(desktop_->connected());
    ASSERT_TRUE(dir_.isValid());
  }

  ports::WindowHandle launch(const QString& key_log, const QString& title) {
    // The stand-in takes the designer's title unless told another.
    const QString named =
        title == designer::window_title() ? QString() : " --title \"" + title + '"';
    desktop_->Shell(QStringLiteral(VANTORA_STAND_IN_BINARY) + named + ' ' + key_log + " show.vpd");
    ports::WindowHandle window = 0;
    wait_until([&] { return (window = desktop_->find_window(title)) != 0; }, 15000);
    return window;
  }

  // Milliseconds from the first request to the window being in front, or -1. A window manager
  // may still be focusing a window that has just appeared, after our request: ask again then.
  qint64 activate(const QString& title, ports::WindowHandle window) {
    QElapsedTimer took;
    took.start();
    for (int ask = 0; ask < 10; ++ask) {
      desktop_->AppActivate(title);
      if (wait_until([&] { return desktop_->GetForegroundWindow() == window; }, 500)) {
        return took.elapsed();
      }
    }
    return -1;
  }

  QString xclip(const QByteArray& written = {}) {
    return testing::xclip(server_->display(), written);
  }

  std::unique_ptr<XServer> server_;
  std::unique_ptr<platform::X11Desktop> desktop_;
  QTemporaryDir dir_;
};

// Another window in front, as the player's own window is at start-up: without the designer no
// key reaches it; once the designer runs it gets every key string with its modifiers. Then the
// other window is placed topmost and at the bottom, as the player places its own.
TEST_P(X11DesktopTest, SendsKeysToTheDesignerOnlyAndPlacesWindows) {
  const QString other_log = dir_.filePath(QStringLiteral("other.txt"));
  const QString other_title = QStringLiteral("Other");
  const ports::WindowHandle other = launch(other_log, other_title);
  ASSERT_NE(other, 0);
  ASSERT_GE(activate(other_title, other), 0);
  EXPECT_THROW(designer::Activate(*desktop_), RuntimeError);
  EXPECT_RUNTIME_ERROR(designer::Send_Keys(*desktop_, QStringLiteral("%{F4}")),
                       err::kInvalidProcedureCall);

  const QString key_log = dir_.filePath(QStringLiteral("keys.txt"));
  const ports::WindowHandle designer_window = launch(key_log, designer::window_title());
  ASSERT_NE(designer_window, 0);
  ASSERT_GE(activate(other_title, other), 0);
  ASSERT_GE(activate(designer::window_title(), designer_window), 0);
  for (const char* keys : {"%y", "^{F1}", " {sleep 1} ", "P{sleep 1}P", "{esc}"}) {
    designer::Send_Keys(*desktop_, QString::fromLatin1(keys));
  }
  const QStringList expected{"Alt+y", "Ctrl+F1", "Space", "Space", "P", "P", "Esc"};
  wait_until([&] { return lines_of(key_log).size() >= expected.size(); }, 5000);
  EXPECT_EQ(lines_of(key_log), expected);
  EXPECT_TRUE(lines_of(other_log).isEmpty());
  EXPECT_EQ(desktop_->find_window(other_title), other);
  EXPECT_EQ(desktop_->window_title(desktop_->GetForegroundWindow()), designer::window_title());

  // Placed topmost it stays over the designer, and placing it does not take the focus.
  desktop_->SetWindowPos(other, ports::ZOrder::kTopmost, QRect(4, 4, 792, 580));
  EXPECT_TRUE(
      wait_until([&] { return desktop_->GetWindow_below(other) == designer_window; }, 3000));
  EXPECT_EQ(desktop_->GetForegroundWindow(), designer_window);
  desktop_->SetWindowPos(other, ports::ZOrder::kBottom, QRect(10, 10, 300, 200));
  EXPECT_TRUE(
      wait_until([&] { return desktop_->GetWindow_below(designer_window) == other; }, 3000));
  EXPECT_EQ(desktop_->GetWindow_below(other), 0);
}

// The ad timer's exchange with another program: its command read and our answer taken in the
// same tick, before anything else has happened on the display; the answer then served to it.
// An owner that never answers costs one error, is left alone afterwards, and loses the
// clipboard to our next answer.
TEST_P(X11DesktopTest, AnswersAnotherProgramsClipboardAtOnce) {
  for (const char* command : {"DISC", "CON", "\u00e9t\u00e9"}) {
    const QString text = QString::fromUtf8(command);
    ASSERT_TRUE(xclip(command).isEmpty());
    EXPECT_EQ(desktop_->clipboard_text(), text);
    desktop_->set_clipboard_text(QStringLiteral("OK"));
    EXPECT_EQ(desktop_->clipboard_text(), QStringLiteral("OK"));
    EXPECT_EQ(xclip(), QStringLiteral("OK")) << command;
  }

  const QByteArray display = server_->display().toLocal8Bit();
  Display* silent = XOpenDisplay(display.constData());
  ASSERT_NE(silent, nullptr);
  const Window owner = XCreateSimpleWindow(silent, DefaultRootWindow(silent), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(silent, XInternAtom(silent, "CLIPBOARD", False), owner, CurrentTime);
  XSync(silent, False);
  EXPECT_RUNTIME_ERROR(desktop_->clipboard_text(), err::kCantOpenClipboard);
  QElapsedTimer asked;
  asked.start();
  EXPECT_EQ(desktop_->clipboard_text(), QString());
  EXPECT_LT(asked.elapsed(), platform::X11Clipboard::kAnswerTimeout_ms);
  desktop_->set_clipboard_text(QStringLiteral("OK"));
  EXPECT_EQ(xclip(), QStringLiteral("OK"));
  XCloseDisplay(silent);
}

INSTANTIATE_TEST_SUITE_P(Screens, X11DesktopTest,
                         ::testing::Values(XServer::WindowManager::kOpenbox,
                                           XServer::WindowManager::kNone),
                         [](const auto& screen) {
                           return screen.param == XServer::WindowManager::kOpenbox
                                      ? std::string("Openbox")
                                      : std::string("NoWindowManager");
                         });

}  // namespace
}  // namespace vantora
