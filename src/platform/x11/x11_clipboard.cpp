#include "platform/x11/x11_clipboard.h"

#include <poll.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <array>
#include <climits>
#include <functional>

#include "base/errors.h"

// Xlib's macros (None, Bool, Status...) must come after every Qt header.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace vantora::platform {
namespace {

// A requestor window that vanished before our answer is ordinary; see X11Desktop.
int ignore_x_error(Display* /*display*/, XErrorEvent* /*event*/) {
  return 0;
}

[[noreturn]] void cannot_open(const QString& why) {
  throw RuntimeError(err::kCantOpenClipboard, QStringLiteral("Can't open Clipboard: ") + why);
}

}  // namespace

struct X11Clipboard::Link {
  Display* display = nullptr;
  Window window = 0;
  Atom clipboard = 0;
  Atom targets = 0;
  Atom timestamp = 0;
  Atom utf8_string = 0;
  Atom text = 0;
  Atom incr = 0;
  Atom transfer = 0;
  Atom stamp = 0;
  std::unique_ptr<QSocketNotifier> notifier;

  // What we hold while we own the selection, and since when: a request made before that time
  // asks for an earlier owner's text.
  bool owned = false;
  Time owned_since = CurrentTime;
  QString owned_text;
  // An owner that let a request time out is left alone for a while: asking it at every read
  // would stall the player's timers.
  Window silent_owner = 0;
  QElapsedTimer silent_since;

  ~Link() {
    notifier.reset();
    if (display != nullptr) {
      if (window != 0) {
        XDestroyWindow(display, window);
      }
      XCloseDisplay(display);
    }
  }

  // Handles every event on the way until `wanted` accepts one; false when `timeout_ms` passed.
  bool wait_for(const std::function<bool(const XEvent&)>& wanted, XEvent& found, int timeout_ms) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
      while (XPending(display) > 0) {
        XNextEvent(display, &found);
        if (wanted(found)) {
          return true;
        }
        handle(found);
      }
      const qint64 left_ms = timeout_ms - waited.elapsed();
      if (left_ms <= 0) {
        return false;
      }
      pollfd readable{ConnectionNumber(display), POLLIN, 0};
      poll(&readable, 1, static_cast<int>(left_ms));
    }
  }

  void drain() {
    XEvent event;
    while (XPending(display) > 0) {
      XNextEvent(display, &event);
      handle(event);
    }
  }

  void handle(const XEvent& event) {
    if (event.type == SelectionRequest) {
      answer(event.xselectionrequest);
    } else if (event.type == SelectionClear && event.xselectionclear.selection == clipboard) {
      owned = false;
    }
  }

  // The server's time now, from the notification of an empty append to one of our properties.
  Time server_time() {
    XChangeProperty(display, window, stamp, XA_INTEGER, 32, PropModeAppend, nullptr, 0);
    XEvent event;
    const bool stamped = wait_for(
        [&](const XEvent& e) {
          return e.type == PropertyNotify && e.xproperty.window == window &&
                 e.xproperty.atom == stamp;
        },
        event, kAnswerTimeout_ms);
    return stamped ? event.xproperty.time : CurrentTime;
  }

  // ICCCM's owner side. Writes what `request` asks for into `property`; false when we have
  // nothing for it.
  bool write_answer(const XSelectionRequestEvent& request, Atom property) {
    const bool ours = owned && request.selection == clipboard && request.owner == window &&
                      (request.time == CurrentTime || request.time >= owned_since);
    if (!ours) {
      return false;
    }
    const auto put = [&](Atom type, int format, const void* data, int count) {
      XChangeProperty(display, request.requestor, property, type, format, PropModeReplace,
                      static_cast<const unsigned char*>(data), count);
      return true;
    };
    if (request.target == targets) {
      const std::array<long, 5> offered{static_cast<long>(targets), static_cast<long>(timestamp),
                                        static_cast<long>(utf8_string),
                                        static_cast<long>(XA_STRING), static_cast<long>(text)};
      return put(XA_ATOM, 32, offered.data(), static_cast<int>(offered.size()));
    }
    if (request.target == timestamp) {
      const long since = static_cast<long>(owned_since);
      return put(XA_INTEGER, 32, &since, 1);
    }
    // Text in one piece, without incremental transfers: the player's texts are a few bytes.
    const bool latin1 = request.target == XA_STRING;
    if (!latin1 && request.target != utf8_string && request.target != text) {
      return false;
    }
    const QByteArray bytes = latin1 ? owned_text.toLatin1() : owned_text.toUtf8();
    if (bytes.size() > XMaxRequestSize(display) * 4 - 100) {
      return false;
    }
    return put(latin1 ? XA_STRING : utf8_string, 8, bytes.constData(),
               static_cast<int>(bytes.size()));
  }

  void answer(const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    // Obsolete requestors name no property and expect the target's name.
    const Atom property = request.property == None ? request.target : request.property;
    reply.xselection.property = write_answer(request, property) ? property : None;
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
    XFlush(display);
  }

  enum class Outcome { kText, kRefused, kSilent };

  // One conversion of the selection into our transfer property.
  Outcome convert(Atom target, QString& result) {
    XDeleteProperty(display, window, transfer);
    XConvertSelection(display, clipboard, target, transfer, window, CurrentTime);
    XEvent event;
    const bool answered = wait_for(
        [&](const XEvent& e) {
          return e.type == SelectionNotify && e.xselection.requestor == window &&
                 e.xselection.selection == clipboard;
        },
        event, kAnswerTimeout_ms);
    if (!answered) {
      return Outcome::kSilent;
    }
    if (event.xselection.property == None) {
      return Outcome::kRefused;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, transfer, 0, LONG_MAX / 4, True, AnyPropertyType, &type,
                       &format, &count, &left, &data);
    result.clear();
    if (data != nullptr && format == 8 && type != incr) {
      const auto* chars = reinterpret_cast<const char*>(data);
      const auto size = static_cast<qsizetype>(count);
      result =
          type == XA_STRING ? QString::fromLatin1(chars, size) : QString::fromUtf8(chars, size);
    }
    if (data != nullptr) {
      XFree(data);
    }
    return Outcome::kText;
  }

  bool left_alone(Window owner) const {
    return owner == silent_owner && silent_since.isValid() &&
           silent_since.elapsed() < kSilentOwnerPause_ms;
  }
};

std::unique_ptr<X11Clipboard> X11Clipboard::open(const QString& display_name) {
  XSetErrorHandler(ignore_x_error);
  auto link = std::make_unique<Link>();
  const QByteArray name = display_name.toLocal8Bit();
  link->display = XOpenDisplay(display_name.isEmpty() ? nullptr : name.constData());
  if (link->display == nullptr) {
    return nullptr;
  }
  Display* display = link->display;
  link->window = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
  XSelectInput(display, link->window, PropertyChangeMask);
  auto atom = [&](const char* atom_name) { return XInternAtom(display, atom_name, False); };
  link->clipboard = atom("CLIPBOARD");
  link->targets = atom("TARGETS");
  link->timestamp = atom("TIMESTAMP");
  link->utf8_string = atom("UTF8_STRING");
  link->text = atom("TEXT");
  link->incr = atom("INCR");
  link->transfer = atom("_VANTORA_CLIPBOARD");
  link->stamp = atom("_VANTORA_TIMESTAMP");
  XFlush(display);
  if (QCoreApplication::instance() != nullptr) {
    link->notifier =
        std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
    Link* served = link.get();
    QObject::connect(link->notifier.get(), &QSocketNotifier::activated,
                     [served] { served->drain(); });
  }
  return std::unique_ptr<X11Clipboard>(new X11Clipboard(std::move(link)));
}

X11Clipboard::X11Clipboard(std::unique_ptr<Link> link) : link_(std::move(link)) {}

X11Clipboard::~X11Clipboard() = default;

void X11Clipboard::serve_pending() {
  link_->drain();
}

QString X11Clipboard::text() {
  Link& l = *link_;
  const Window owner = XGetSelectionOwner(l.display, l.clipboard);
  QString result;
  Link::Outcome outcome = Link::Outcome::kText;
  if (owner == l.window) {
    result = l.owned_text;
  } else if (owner != None && !l.left_alone(owner)) {
    outcome = l.convert(l.utf8_string, result);
    if (outcome == Link::Outcome::kRefused) {
      outcome = l.convert(XA_STRING, result);
    }
  }
  // Events read on the way are out of the socket already: the notifier would not see them.
  l.drain();
  if (outcome == Link::Outcome::kSilent) {
    l.silent_owner = owner;
    l.silent_since.start();
    cannot_open(QStringLiteral("its owner does not answer"));
  }
  return result;
}

void X11Clipboard::set_text(const QString& text) {
  Link& l = *link_;
  const Time now = l.server_time();
  XSetSelectionOwner(l.display, l.clipboard, l.window, now);
  const bool taken = XGetSelectionOwner(l.display, l.clipboard) == l.window;
  l.owned = taken;
  if (taken) {
    l.owned_since = now;
    l.owned_text = text;
  }
  l.drain();
  if (!taken) {
    cannot_open(QStringLiteral("the server refused the selection"));
  }
}

}  // namespace vantora::platform
