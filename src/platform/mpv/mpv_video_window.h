#pragma once

#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>

namespace vantora::platform {

// The window the media engine draws into: a plain X11 window on a connection of its own, made
// once and destroyed only after the engine has let go of it.
//
// It is not a Qt window on purpose. The engine's X11 output makes its own window inside the one
// it is given and aborts the whole program when that window disappears under it (a destroy
// event, then the next file's reconfiguration asserts). A toolkit window can be destroyed and
// made again behind its owner's back (a change of flags, of screen or of parent); this one
// changes only when its owner says so.
class MpvVideoWindow {
 public:
  // Raises a RuntimeError when the display cannot be opened.
  MpvVideoWindow();
  ~MpvVideoWindow();
  MpvVideoWindow(const MpvVideoWindow&) = delete;
  MpvVideoWindow& operator=(const MpvVideoWindow&) = delete;

  std::uint64_t id() const;
  bool is_visible() const { return visible_; }

  // Shows the window on top without taking the keyboard from the window that has it.
  void show();
  void hide();
  void raise();
  void activate();
  void set_geometry(const QRect& geometry);
  void set_title(const QString& title);

 private:
  struct Handles;
  std::unique_ptr<Handles> x_;
  bool visible_ = false;
};

}  // namespace vantora::platform
