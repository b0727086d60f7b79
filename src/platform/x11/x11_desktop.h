#pragma once

#include <QHash>
#include <QString>
#include <memory>

#include "platform/x11/x11_clipboard.h"
#include "ports/desktop.h"

namespace vantora::platform {

// The desktop on an X11 display: libxdo and Xlib for windows, XTest for keystrokes, the
// clipboard on a connection of its own. Works with a window manager (EWMH activation and "above"
// state) and without one (raise and focus instead); without one nothing keeps a topmost window on
// top.
class X11Desktop final : public ports::Desktop {
 public:
  // Opens its own connection to the display (null: $DISPLAY). Programs it starts get that
  // display as their DISPLAY.
  explicit X11Desktop(const QString& display_name = {});
  ~X11Desktop() override;
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  // False when the display could not be opened; every call then fails with error 5.
  bool connected() const;

  void Shell(const QString& command_line) override;
  void AppActivate(const QString& title) override;
  ports::WindowHandle find_window(const QString& title) override;
  QString window_title(ports::WindowHandle window) override;
  ports::WindowHandle GetForegroundWindow() override;
  void SetWindowPos(ports::WindowHandle window, ports::ZOrder order,
                    const QRect& geometry) override;
  ports::WindowHandle GetWindow_below(ports::WindowHandle window) override;
  ports::WindowHandle form_window(const QString& form_name) override;
  void PushKeys(const ports::KeySequence& keys) override;
  void SetCursorPos(int x, int y) override;
  QString clipboard_text() override;
  void set_clipboard_text(const QString& text) override;
  // From the primary screen's logical resolution.
  QPointF twips_per_pixel() override;

  // The views tell which window shows which form.
  void set_form_window(const QString& form_name, ports::WindowHandle window);

  // True when an EWMH window manager runs on the display.
  bool window_manager_running();

 private:
  struct Connection;
  Connection& connection();
  // Opened at the first use: most runs never touch the clipboard.
  X11Clipboard& clipboard();

  std::unique_ptr<Connection> connection_;
  std::unique_ptr<X11Clipboard> clipboard_;
  QString display_name_;
  QHash<QString, ports::WindowHandle> form_windows_;
};

}  // namespace vantora::platform
