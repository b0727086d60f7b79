#include "platform/x11/x11_desktop.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <vector>

#include "base/errors.h"

// libxdo's header has no C linkage guards of its own; Xlib's macros (None, Bool, Status...)
// must come after every Qt header.
extern "C" {
#include <xdo.h>
}
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vantora::platform {
namespace {

// Xlib's default handler ends the process on a BadWindow: a window that vanished between two
// requests is ordinary on a desktop, so errors are only counted.
int ignore_x_error(Display* /*display*/, XErrorEvent* /*event*/) {
  return 0;
}

Window to_window(ports::WindowHandle handle) {
  return static_cast<Window>(static_cast<std::uint32_t>(handle));
}

ports::WindowHandle to_handle(Window window) {
  return static_cast<ports::WindowHandle>(static_cast<std::uint32_t>(window));
}

[[noreturn]] void no_window() {
  throw RuntimeError(err::kInvalidProcedureCall);
}

KeySym keysym_of(const ports::KeyStroke& stroke) {
  using ports::NamedKey;
  switch (stroke.named) {
    case NamedKey::kNone:
      break;
    case NamedKey::kF1:
    case NamedKey::kF2:
    case NamedKey::kF3:
    case NamedKey::kF4:
    case NamedKey::kF5:
    case NamedKey::kF6:
    case NamedKey::kF7:
    case NamedKey::kF8:
    case NamedKey::kF9:
    case NamedKey::kF10:
    case NamedKey::kF11:
    case NamedKey::kF12:
      return XK_F1 + (static_cast<int>(stroke.named) - static_cast<int>(NamedKey::kF1));
    case NamedKey::kEscape:
      return XK_Escape;
    case NamedKey::kEnter:
      return XK_Return;
    case NamedKey::kTab:
      return XK_Tab;
    case NamedKey::kBackspace:
      return XK_BackSpace;
    case NamedKey::kDelete:
      return XK_Delete;
    case NamedKey::kInsert:
      return XK_Insert;
    case NamedKey::kHome:
      return XK_Home;
    case NamedKey::kEnd:
      return XK_End;
    case NamedKey::kPageUp:
      return XK_Page_Up;
    case NamedKey::kPageDown:
      return XK_Page_Down;
    case NamedKey::kUp:
      return XK_Up;
    case NamedKey::kDown:
      return XK_Down;
    case NamedKey::kLeft:
      return XK_Left;
    case NamedKey::kRight:
      return XK_Right;
  }
  const char32_t c = stroke.character;
  // Latin-1 keysyms are the code points; everything else has the Unicode keysym range.
  if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) {
    return c;
  }
  return 0x01000000 | c;
}

}  // namespace

struct X11Desktop::Connection {
  xdo_t* xdo = nullptr;
  Display* display = nullptr;
  Window root = 0;
  Atom net_wm_name = 0;
  Atom utf8_string = 0;
  Atom net_active_window = 0;
  Atom net_supporting_wm_check = 0;
  Atom net_wm_state = 0;
  Atom net_wm_state_above = 0;
  Atom net_wm_state_below = 0;
  Atom wm_state = 0;

  ~Connection() {
    if (xdo != nullptr) {
      xdo_free(xdo);  // closes the display too
    }
  }

  std::vector<unsigned char> property(Window window, Atom name, Atom type) const {
    Atom actual_type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned char> bytes;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, type, &actual_type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
      if (actual_type != 0) {
        const std::size_t size = count * static_cast<std::size_t>(format == 32   ? sizeof(long)
                                                                  : format == 16 ? 2
                                                                                 : 1);
        bytes.assign(data, data + size);
      }
      XFree(data);
    }
    return bytes;
  }

  Window window_property(Window window, Atom name) const {
    const auto bytes = property(window, name, XA_WINDOW);
    if (bytes.size() < sizeof(long)) {
      return 0;
    }
    long value = 0;
    std::memcpy(&value, bytes.data(), sizeof(long));
    return static_cast<Window>(value);
  }

  QString name(Window window) const {
    const auto utf8 = property(window, net_wm_name, utf8_string);
    if (!utf8.empty()) {
      return QString::fromUtf8(reinterpret_cast<const char*>(utf8.data()),
                               static_cast<qsizetype>(utf8.size()));
    }
    const auto latin1 = property(window, XA_WM_NAME, AnyPropertyType);
    return QString::fromLatin1(reinterpret_cast<const char*>(latin1.data()),
                               static_cast<qsizetype>(latin1.size()));
  }

  bool viewable(Window window) const {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
  }

  std::vector<Window> children(Window window) const {
    Window root_return = 0;
    Window parent = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root_return, &parent, &list, &count) != 0 && list != nullptr) {
      result.assign(list, list + count);  // bottom to top
      XFree(list);
    }
    return result;
  }

  Window parent_of(Window window) const {
    Window root_return = 0;
    Window parent = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root_return, &parent, &list, &count) == 0) {
      return 0;
    }
    if (list != nullptr) {
      XFree(list);
    }
    return parent;
  }

  // The window of `window`'s branch that is a child of the root: the frame under a manager.
  Window top_level(Window window) const {
    Window current = window;
    for (int depth = 0; depth < 64 && current != 0; ++depth) {
      const Window parent = parent_of(current);
      if (parent == root || parent == 0) {
        return current;
      }
      current = parent;
    }
    return 0;
  }

  // The client inside a frame: the window carrying WM_STATE, or the frame itself.
  Window client_of(Window frame) const {
    if (!property(frame, wm_state, AnyPropertyType).empty()) {
      return frame;
    }
    for (Window child : children(frame)) {
      if (Window client = client_of(child);
          client != 0 && !property(client, wm_state, AnyPropertyType).empty()) {
        return client;
      }
    }
    return frame;
  }

  // Depth first from the top of the stacking order, viewable windows only.
  Window find_titled(Window under, const QString& title, int depth) const {
    const std::vector<Window> list = children(under);
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
      if (!viewable(*it)) {
        continue;
      }
      if (name(*it) == title) {
        return *it;
      }
      if (depth < 4) {
        if (Window found = find_titled(*it, title, depth + 1); found != 0) {
          return found;
        }
      }
    }
    return 0;
  }

  bool manager_running() const {
    const Window check = window_property(root, net_supporting_wm_check);
    return check != 0 && window_property(check, net_supporting_wm_check) == check;
  }

  void send_state(Window window, bool add, Atom state) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = net_wm_state;
    event.xclient.format = 32;
    event.xclient.data.l[0] = add ? 1 : 0;
    event.xclient.data.l[1] = static_cast<long>(state);
    event.xclient.data.l[2] = 0;
    event.xclient.data.l[3] = 1;  // a normal application
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  }

  KeyCode keycode(KeySym keysym) const { return XKeysymToKeycode(display, keysym); }

  // A keycode with no symbol on it, for a character the keymap lacks.
  KeyCode spare_keycode() const {
    int low = 0;
    int high = 0;
    XDisplayKeycodes(display, &low, &high);
    int per_code = 0;
    KeySym* map =
        XGetKeyboardMapping(display, static_cast<KeyCode>(low), high - low + 1, &per_code);
    KeyCode spare = 0;
    for (int code = high; code >= low && map != nullptr; --code) {
      bool empty = true;
      for (int i = 0; i < per_code; ++i) {
        empty = empty && map[(code - low) * per_code + i] == NoSymbol;
      }
      if (empty) {
        spare = static_cast<KeyCode>(code);
        break;
      }
    }
    if (map != nullptr) {
      XFree(map);
    }
    return spare;
  }

  void tap(KeyCode code, std::uint8_t modifiers) const {
    std::vector<KeyCode> held;
    if ((modifiers & ports::kControl) != 0) {
      held.push_back(keycode(XK_Control_L));
    }
    if ((modifiers & ports::kAlt) != 0) {
      held.push_back(keycode(XK_Alt_L));
    }
    if ((modifiers & ports::kShift) != 0) {
      held.push_back(keycode(XK_Shift_L));
    }
    for (KeyCode modifier : held) {
      XTestFakeKeyEvent(display, modifier, True, CurrentTime);
    }
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    for (auto it = held.rbegin(); it != held.rend(); ++it) {
      XTestFakeKeyEvent(display, *it, False, CurrentTime);
    }
    XSync(display, False);
  }

  void type(const ports::KeyStroke& stroke) const {
    const KeySym keysym = keysym_of(stroke);
    std::uint8_t modifiers = stroke.modifiers;
    KeyCode code = keycode(keysym);
    if (code != 0) {
      // A symbol on the shifted level (an uppercase letter, "%") needs Shift whatever else is
      // held.
      if (XkbKeycodeToKeysym(display, code, 0, 0) != keysym &&
          XkbKeycodeToKeysym(display, code, 0, 1) == keysym) {
        modifiers |= ports::kShift;
      }
      tap(code, modifiers);
      return;
    }
    code = spare_keycode();
    if (code == 0) {
      throw RuntimeError(err::kInvalidProcedureCall,
                         QStringLiteral("no keycode is free to type a character"));
    }
    KeySym mapped[2] = {keysym, keysym};
    XChangeKeyboardMapping(display, code, 2, mapped, 1);
    XSync(display, False);
    tap(code, modifiers);
    // Clients read the new mapping on their own time; give the key a moment before it goes.
    QThread::msleep(30);
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display, code, 2, none, 1);
    XSync(display, False);
  }
};

X11Desktop::X11Desktop(const QString& display_name) : display_name_(display_name) {
  XSetErrorHandler(ignore_x_error);
  auto link = std::make_unique<Connection>();
  const QByteArray name = display_name.toLocal8Bit();
  link->xdo = xdo_new(display_name.isEmpty() ? nullptr : name.constData());
  if (link->xdo == nullptr) {
    return;
  }
  link->xdo->quiet = 1;
  link->display = link->xdo->xdpy;
  link->root = DefaultRootWindow(link->display);
  auto atom = [&](const char* atom_name) { return XInternAtom(link->display, atom_name, False); };
  link->net_wm_name = atom("_NET_WM_NAME");
  link->utf8_string = atom("UTF8_STRING");
  link->net_active_window = atom("_NET_ACTIVE_WINDOW");
  link->net_supporting_wm_check = atom("_NET_SUPPORTING_WM_CHECK");
  link->net_wm_state = atom("_NET_WM_STATE");
  link->net_wm_state_above = atom("_NET_WM_STATE_ABOVE");
  link->net_wm_state_below = atom("_NET_WM_STATE_BELOW");
  link->wm_state = atom("WM_STATE");
  if (display_name_.isEmpty()) {
    display_name_ = QString::fromLocal8Bit(DisplayString(link->display));
  }
  connection_ = std::move(link);
}

X11Desktop::~X11Desktop() = default;

bool X11Desktop::connected() const {
  return connection_ != nullptr;
}

X11Desktop::Connection& X11Desktop::connection() {
  if (!connection_) {
    throw RuntimeError(err::kInvalidProcedureCall, QStringLiteral("no X display"));
  }
  return *connection_;
}

bool X11Desktop::window_manager_running() {
  return connection().manager_running();
}

void X11Desktop::Shell(const QString& command_line) {
  QStringList words = QProcess::splitCommand(command_line);
  if (words.isEmpty()) {
    throw RuntimeError(err::kFileNotFound);
  }
  QProcess process;
  process.setProgram(words.takeFirst());
  process.setArguments(words);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), display_name_);
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process.setProcessEnvironment(environment);
  process.setStandardInputFile(QProcess::nullDevice());
  if (!process.startDetached()) {
    throw RuntimeError(
        err::kFileNotFound,
        QStringLiteral("cannot start %1: %2").arg(command_line, process.errorString()));
  }
}

ports::WindowHandle X11Desktop::find_window(const QString& title) {
  Connection& c = connection();
  return to_handle(c.find_titled(c.root, title, 0));
}

QString X11Desktop::window_title(ports::WindowHandle window) {
  if (window == 0) {
    return {};
  }
  return connection().name(to_window(window));
}

void X11Desktop::AppActivate(const QString& title) {
  Connection& c = connection();
  const Window window = c.find_titled(c.root, title, 0);
  if (window == 0) {
    no_window();
  }
  if (c.manager_running() && xdo_activate_window(c.xdo, window) == XDO_SUCCESS) {
    XFlush(c.display);
    return;
  }
  // No manager to ask: do its work.
  XRaiseWindow(c.display, c.top_level(window));
  XSetInputFocus(c.display, window, RevertToParent, CurrentTime);
  XFlush(c.display);
}

ports::WindowHandle X11Desktop::GetForegroundWindow() {
  Connection& c = connection();
  // The input focus is where keystrokes land, so it decides; the manager's active window only
  // stands in when the focus is nowhere useful. Right after an activation the manager may
  // already call a window active while the server's focus has not moved to it yet.
  // (libxdo's "sane" focus helper is not used: it crashes on PointerRoot.)
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(c.display, &focus, &revert);
  if (focus != None && focus != PointerRoot && focus != c.root) {
    if (const Window top = c.top_level(focus); top != 0) {
      return to_handle(c.client_of(top));
    }
  }
  if (c.manager_running()) {
    return to_handle(c.window_property(c.root, c.net_active_window));
  }
  return 0;
}

void X11Desktop::SetWindowPos(ports::WindowHandle handle, ports::ZOrder order,
                              const QRect& geometry) {
  Connection& c = connection();
  const Window window = to_window(handle);
  XWindowAttributes attributes{};
  if (handle == 0 || XGetWindowAttributes(c.display, window, &attributes) == 0) {
    no_window();
  }
  if (c.manager_running()) {
    c.send_state(window, order == ports::ZOrder::kTopmost, c.net_wm_state_above);
    c.send_state(window, order == ports::ZOrder::kBottom, c.net_wm_state_below);
  }
  XMoveResizeWindow(c.display, window, geometry.x(), geometry.y(),
                    static_cast<unsigned>(std::max(1, geometry.width())),
                    static_cast<unsigned>(std::max(1, geometry.height())));
  if (order == ports::ZOrder::kTopmost) {
    XRaiseWindow(c.display, window);
  } else if (order == ports::ZOrder::kBottom) {
    XLowerWindow(c.display, window);
  }
  XFlush(c.display);
}

ports::WindowHandle X11Desktop::GetWindow_below(ports::WindowHandle handle) {
  Connection& c = connection();
  const Window top = c.top_level(to_window(handle));
  const std::vector<Window> stack = c.children(c.root);
  bool seen = false;
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    if (seen && c.viewable(*it)) {
      return to_handle(c.client_of(*it));
    }
    seen = seen || *it == top;
  }
  return 0;
}

ports::WindowHandle X11Desktop::form_window(const QString& form_name) {
  return form_windows_.value(form_name, 0);
}

void X11Desktop::set_form_window(const QString& form_name, ports::WindowHandle window) {
  form_windows_.insert(form_name, window);
}

void X11Desktop::PushKeys(const ports::KeySequence& keys) {
  Connection& c = connection();
  for (const ports::KeyAction& action : keys.actions) {
    if (const auto* pause = std::get_if<ports::KeyPause>(&action)) {
      QThread::msleep(static_cast<unsigned long>(pause->duration_ms));
      continue;
    }
    c.type(std::get<ports::KeyStroke>(action));
  }
}

void X11Desktop::SetCursorPos(int x, int y) {
  Connection& c = connection();
  XWarpPointer(c.display, None, c.root, 0, 0, 0, 0, x, y);
  XFlush(c.display);
}

X11Clipboard& X11Desktop::clipboard() {
  if (!clipboard_) {
    clipboard_ = X11Clipboard::open(display_name_);
  }
  if (!clipboard_) {
    throw RuntimeError(err::kInvalidProcedureCall, QStringLiteral("no X display"));
  }
  return *clipboard_;
}

QString X11Desktop::clipboard_text() {
  return clipboard().text();
}

void X11Desktop::set_clipboard_text(const QString& text) {
  clipboard().set_text(text);
}

QPointF X11Desktop::twips_per_pixel() {
  constexpr double kTwipsPerInch = 1440.0;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || screen->logicalDotsPerInchX() <= 0 ||
      screen->logicalDotsPerInchY() <= 0) {
    return {15.0, 15.0};
  }
  return {kTwipsPerInch / screen->logicalDotsPerInchX(),
          kTwipsPerInch / screen->logicalDotsPerInchY()};
}

}  // namespace vantora::platform
