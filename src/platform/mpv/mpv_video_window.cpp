#include "platform/mpv/mpv_video_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <QByteArray>
#include <algorithm>
#include <array>

#include "base/errors.h"

namespace vantora::platform {

struct MpvVideoWindow::Handles {
  Display* display = nullptr;
  Window window = 0;

  Atom atom(const char* name) const { return XInternAtom(display, name, False); }
};

MpvVideoWindow::MpvVideoWindow() : x_(std::make_unique<Handles>()) {
  x_->display = XOpenDisplay(nullptr);
  if (x_->display == nullptr) {
    throw RuntimeError(err::kInternalError,
                       QStringLiteral("media engine: cannot open the display for the video"));
  }
  Display* display = x_->display;
  const int screen = DefaultScreen(display);
  x_->window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 640, 480, 0,
                                   BlackPixel(display, screen), BlackPixel(display, screen));
  // No background of its own: when a clip change moves or grows the window, the server leaves
  // what the screen showed there (the last frame) instead of painting it black until the engine
  // draws the next one.
  XSetWindowAttributes no_background{};
  no_background.background_pixmap = None;
  no_background.bit_gravity = NorthWestGravity;
  XChangeWindowAttributes(display, x_->window, CWBackPixmap | CWBitGravity, &no_background);

  // No title bar or border: the picture is the channel.
  constexpr long kDecorationsFlag = 1L << 1;
  const std::array<long, 5> no_decorations{kDecorationsFlag, 0, 0, 0, 0};
  const Atom motif_hints = x_->atom("_MOTIF_WM_HINTS");
  XChangeProperty(display, x_->window, motif_hints, motif_hints, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(no_decorations.data()), 5);
  // A user time of 0 asks a window manager not to hand the keyboard to the window when it
  // appears: the presentation program keeps it.
  const long user_time = 0;
  XChangeProperty(display, x_->window, x_->atom("_NET_WM_USER_TIME"), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&user_time), 1);
  XClassHint class_hint{const_cast<char*>("vantora-player"), const_cast<char*>("vantora-player")};
  XSetClassHint(display, x_->window, &class_hint);
  XFlush(display);
}

MpvVideoWindow::~MpvVideoWindow() {
  XDestroyWindow(x_->display, x_->window);
  XCloseDisplay(x_->display);
}

std::uint64_t MpvVideoWindow::id() const {
  return x_->window;
}

void MpvVideoWindow::show() {
  XMapRaised(x_->display, x_->window);
  XFlush(x_->display);
  visible_ = true;
}

void MpvVideoWindow::hide() {
  XUnmapWindow(x_->display, x_->window);
  XFlush(x_->display);
  visible_ = false;
}

void MpvVideoWindow::raise() {
  XRaiseWindow(x_->display, x_->window);
  XFlush(x_->display);
}

void MpvVideoWindow::activate() {
  if (visible_) {
    XSetInputFocus(x_->display, x_->window, RevertToParent, CurrentTime);
    XFlush(x_->display);
  }
}

void MpvVideoWindow::set_geometry(const QRect& geometry) {
  const auto width = static_cast<unsigned>(std::max(1, geometry.width()));
  const auto height = static_cast<unsigned>(std::max(1, geometry.height()));
  // The position is the program's, not a window manager's choice.
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = geometry.x();
  hints.y = geometry.y();
  hints.width = static_cast<int>(width);
  hints.height = static_cast<int>(height);
  XSetWMNormalHints(x_->display, x_->window, &hints);
  XMoveResizeWindow(x_->display, x_->window, geometry.x(), geometry.y(), width, height);
  XFlush(x_->display);
}

void MpvVideoWindow::set_title(const QString& title) {
  const QByteArray utf8 = title.toUtf8();
  XStoreName(x_->display, x_->window, utf8.constData());
  XChangeProperty(x_->display, x_->window, x_->atom("_NET_WM_NAME"), x_->atom("UTF8_STRING"), 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(utf8.constData()),
                  static_cast<int>(utf8.size()));
  XFlush(x_->display);
}

}  // namespace vantora::platform
