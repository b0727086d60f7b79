#pragma once

#include <QHash>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/shell/form_model.h"
#include "ports/desktop.h"
#include "sim/sim_runtime.h"
#include "sim/trace.h"

namespace vantora::sim {

// The desktop held in memory: windows with their titles, geometry and stacking order, the focus,
// the clipboard, the mouse. Every action the player takes is traced. A launched program opens a
// window titled "Presentation Designer" at once, so the designer's keystroke path runs as it
// would on a screen; the simulated designer keeps its window on Alt+F4 (it closes only its
// presentation), while any other window closes on Alt+F4 as under a window manager.
class SimDesktop final : public ports::Desktop {
 public:
  using WindowHandle = ports::WindowHandle;
  enum class Activation { kActivate, kNoActivate };

  struct Window {
    WindowHandle handle = 0;
    QString title;
    QRect geometry;
    bool topmost = false;
    // The latest keys, as keys::describe names them, oldest first: a week's run sends the
    // designer tens of thousands, which the trace already records.
    QStringList keys_received;
  };

  SimDesktop(SimRuntime& runtime, Trace& trace);

  void Shell(const QString& command_line) override;
  void AppActivate(const QString& title) override;
  WindowHandle find_window(const QString& title) override;
  QString window_title(WindowHandle window) override;
  WindowHandle GetForegroundWindow() override { return focus_; }
  void SetWindowPos(WindowHandle window, ports::ZOrder order, const QRect& geometry) override;
  WindowHandle GetWindow_below(WindowHandle window) override;
  WindowHandle form_window(const QString& form_name) override;
  void PushKeys(const ports::KeySequence& keys) override;
  void SetCursorPos(int x, int y) override;
  QString clipboard_text() override { return clipboard_; }
  void set_clipboard_text(const QString& text) override;
  // A 96 dots-per-inch screen.
  QPointF twips_per_pixel() override { return {15.0, 15.0}; }

  // The simulated world around the player.
  WindowHandle open_window(const QString& title, const QRect& geometry, Activation activation);
  void close_window(WindowHandle window);
  // Another program's window comes to the front by its own doing (the video window).
  void bring_to_front(WindowHandle window);
  void set_form_window(const QString& form_name, WindowHandle window);
  // Another program writes the clipboard.
  void set_clipboard_from_outside(const QString& text);
  // Off: a launched program never opens a window (a designer that fails to start).
  void set_launch_opens_designer(bool opens) { launch_opens_designer_ = opens; }

  const Window* window(WindowHandle handle) const;
  // Bottom to top.
  const std::vector<WindowHandle>& stacking() const { return stacking_; }
  const QStringList& launched() const { return launched_; }
  QPoint cursor() const { return cursor_; }

 private:
  Window* find(WindowHandle handle);
  void raise(WindowHandle handle);
  void trace_window(const char* action, const Window& window);

  SimRuntime& runtime_;
  Trace& trace_;
  std::vector<Window> windows_;
  std::vector<WindowHandle> stacking_;
  QHash<QString, WindowHandle> form_windows_;
  WindowHandle focus_ = 0;
  WindowHandle next_handle_ = 0x1000;
  QString clipboard_;
  QStringList launched_;
  QPoint cursor_;
  bool launch_opens_designer_ = true;
};

// Opens, moves and closes a simulated window for each form as its view would on a screen.
class SimFormWindows final : public forms::FormObserver {
 public:
  explicit SimFormWindows(SimDesktop& desktop) : desktop_(desktop) {}
  void attach(forms::Form& form);
  void detach(forms::Form& form);
  void property_changed(const QString& form, const QString& control, const QString& property,
                        const QVariant& value) override;

 private:
  SimDesktop& desktop_;
  QHash<QString, forms::Form*> forms_;
};

}  // namespace vantora::sim
