#pragma once

#include <QString>
#include <memory>

namespace vantora::platform {

// The CLIPBOARD selection on a connection of its own, for plain text.
//
// Qt's clipboard takes the selection with the time of the last X event its GUI thread has
// handled. When another program has taken the clipboard after that event (its command arrived
// between two of our timer ticks), the server ignores the take and the answer never reaches the
// other program. This one asks the server for the current time before every take, and serves the
// other programs' requests for its text from the event loop.
class X11Clipboard {
 public:
  // Null when the display cannot be opened; every call then fails.
  static std::unique_ptr<X11Clipboard> open(const QString& display_name);
  ~X11Clipboard();
  X11Clipboard(const X11Clipboard&) = delete;
  X11Clipboard& operator=(const X11Clipboard&) = delete;

  // The clipboard's text; empty when nobody owns it or its owner has no text for us. Raises
  // error 521 when the owner does not answer within `kAnswerTimeout_ms`; that owner is then
  // not asked again for `kSilentOwnerPause_ms` (empty text meanwhile).
  QString text();
  // Takes the clipboard with `text`. Raises error 521 when the server refuses the take.
  void set_text(const QString& text);

  // Answers the requests that have arrived; the event loop calls it when the connection is
  // readable. Tests without an event loop call it while they wait.
  void serve_pending();

  static constexpr int kAnswerTimeout_ms = 500;
  static constexpr int kSilentOwnerPause_ms = 10000;

 private:
  struct Link;
  explicit X11Clipboard(std::unique_ptr<Link> link);

  std::unique_ptr<Link> link_;
};

}  // namespace vantora::platform
