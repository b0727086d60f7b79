#pragma once

#include <QPointF>
#include <QRect>
#include <QString>
#include <cstdint>

#include "base/date_time.h"
#include "ports/key_sequence.h"

namespace vantora::ports {

// A top-level window; 0 is none. Handles fit the 32-bit window variables of the player state.
using WindowHandle = std::int32_t;

// Where SetWindowPos puts a window in the stacking order.
enum class ZOrder {
  kTopmost,     // above every window that is not itself topmost, and kept there
  kNotTopmost,  // loses the topmost state, stays where it is otherwise
  kBottom,      // below every other window, losing the topmost state
};

// What the desktop gives the player: programs, windows, the keyboard, the mouse and the
// clipboard. Failures raise vantora::RuntimeError with the classic numbers.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // Starts a program from a command line (the program, then its arguments, split as a shell
  // would) in a normal window that takes the focus. Error 53 when it cannot be started.
  virtual void Shell(const QString& command_line) = 0;

  // Brings the window whose title is exactly `title` to the front and gives it the focus,
  // without waiting for the window to get there. Error 5 when no window has that title.
  virtual void AppActivate(const QString& title) = 0;

  // The window whose title is exactly `title`, or 0.
  virtual WindowHandle find_window(const QString& title) = 0;
  virtual QString window_title(WindowHandle window) = 0;

  // The window with the keyboard focus, or 0.
  virtual WindowHandle GetForegroundWindow() = 0;

  // Moves and sizes a window and sets its place in the stacking order, without activating it.
  virtual void SetWindowPos(WindowHandle window, ZOrder order, const QRect& geometry) = 0;

  // The visible top-level window just below `window` in the stacking order, or 0.
  virtual WindowHandle GetWindow_below(WindowHandle window) = 0;

  // The window of one of the program's own forms once its view has made it, or 0.
  virtual WindowHandle form_window(const QString& form_name) = 0;

  // Types the strokes into the foreground window, pausing where the sequence pauses.
  virtual void PushKeys(const KeySequence& keys) = 0;

  virtual void SetCursorPos(int x, int y) = 0;

  // The screen's twips (1/1440 inch) per pixel in each direction: 15 at 96 dots per inch. Mouse
  // positions inside the controls are given in twips.
  virtual QPointF twips_per_pixel() = 0;

  virtual QString clipboard_text() = 0;
  virtual void set_clipboard_text(const QString& text) = 0;
};

}  // namespace vantora::ports
