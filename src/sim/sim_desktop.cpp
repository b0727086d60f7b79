#include "sim/sim_desktop.h"

#include <QProcess>
#include <algorithm>

#include "base/errors.h"
#include "core/designer/designer_link.h"
#include "core/designer/key_string.h"

namespace vantora::sim {
namespace {

constexpr qsizetype kKeysKept = 64;

nlohmann::json order_json(ports::ZOrder order) {
  switch (order) {
    case ports::ZOrder::kTopmost:
      return "top";
    case ports::ZOrder::kBottom:
      return "bottom";
    case ports::ZOrder::kNotTopmost:
      break;
  }
  return nullptr;
}

nlohmann::json title_json(const QString& title) {
  return title.isNull() ? nlohmann::json(nullptr) : nlohmann::json(Trace::text(title));
}

}  // namespace

SimDesktop::SimDesktop(SimRuntime& runtime, Trace& trace) : runtime_(runtime), trace_(trace) {}

SimDesktop::Window* SimDesktop::find(WindowHandle handle) {
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [handle](const Window& w) { return w.handle == handle; });
  return it == windows_.end() ? nullptr : &*it;
}

const SimDesktop::Window* SimDesktop::window(WindowHandle handle) const {
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [handle](const Window& w) { return w.handle == handle; });
  return it == windows_.end() ? nullptr : &*it;
}

void SimDesktop::trace_window(const char* action, const Window& w) {
  trace_.event("desktop",
               {{"action", action}, {"name", Trace::text(w.title)}, {"handle", w.handle}});
}

// Topmost windows stay above the others: a raised window goes to the top of its own band.
void SimDesktop::raise(WindowHandle handle) {
  std::erase(stacking_, handle);
  const Window* w = find(handle);
  if (w == nullptr) {
    return;
  }
  auto at = stacking_.end();
  if (!w->topmost) {
    at = std::find_if(stacking_.begin(), stacking_.end(), [this](WindowHandle h) {
      const Window* other = find(h);
      return other != nullptr && other->topmost;
    });
  }
  stacking_.insert(at, handle);
}

SimDesktop::WindowHandle SimDesktop::open_window(const QString& title, const QRect& geometry,
                                                 Activation activation) {
  Window w;
  w.handle = next_handle_++;
  w.title = title;
  w.geometry = geometry;
  windows_.push_back(w);
  raise(w.handle);
  if (activation == Activation::kActivate) {
    focus_ = w.handle;
  }
  trace_window("open", w);
  return w.handle;
}

void SimDesktop::close_window(WindowHandle handle) {
  const Window* w = find(handle);
  if (w == nullptr) {
    return;
  }
  trace_window("close", *w);
  std::erase(stacking_, handle);
  windows_.erase(windows_.begin() + (w - windows_.data()));
  for (auto it = form_windows_.begin(); it != form_windows_.end();) {
    it = it.value() == handle ? form_windows_.erase(it) : std::next(it);
  }
  if (focus_ == handle) {
    // As a window manager does, the focus falls to the window now on top.
    focus_ = stacking_.empty() ? 0 : stacking_.back();
  }
}

void SimDesktop::Shell(const QString& command_line) {
  const QStringList words = QProcess::splitCommand(command_line);
  if (words.isEmpty()) {
    throw RuntimeError(err::kFileNotFound);
  }
  launched_.append(command_line);
  trace_.event("launch", {{"command", Trace::text(command_line)}});
  if (launch_opens_designer_) {
    open_window(designer::window_title(), QRect(0, 0, 800, 600), Activation::kActivate);
  }
}

void SimDesktop::bring_to_front(WindowHandle window) {
  if (find(window) == nullptr) {
    return;
  }
  raise(window);
  focus_ = window;
}

void SimDesktop::AppActivate(const QString& title) {
  const WindowHandle handle = find_window(title);
  trace_.event("activate", {{"title", Trace::text(title)}, {"ok", handle != 0}});
  if (handle == 0) {
    throw RuntimeError(err::kInvalidProcedureCall);
  }
  raise(handle);
  focus_ = handle;
}

SimDesktop::WindowHandle SimDesktop::find_window(const QString& title) {
  // The top one of several, as a search down the stacking order finds it.
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    if (const Window* w = find(*it); w != nullptr && w->title == title) {
      return w->handle;
    }
  }
  return 0;
}

QString SimDesktop::window_title(WindowHandle handle) {
  const Window* w = find(handle);
  return w == nullptr ? QString() : w->title;
}

void SimDesktop::SetWindowPos(WindowHandle handle, ports::ZOrder order, const QRect& geometry) {
  Window* w = find(handle);
  if (w == nullptr) {
    throw RuntimeError(err::kInvalidProcedureCall);
  }
  w->geometry = geometry;
  if (order == ports::ZOrder::kBottom) {
    w->topmost = false;
    std::erase(stacking_, handle);
    stacking_.insert(stacking_.begin(), handle);
  } else {
    w->topmost = order == ports::ZOrder::kTopmost;
    raise(handle);
  }
  trace_.event("window", {{"name", Trace::text(w->title)},
                          {"x", geometry.left()},
                          {"y", geometry.top()},
                          {"w", geometry.width()},
                          {"h", geometry.height()},
                          {"z", order_json(order)}});
}

SimDesktop::WindowHandle SimDesktop::GetWindow_below(WindowHandle handle) {
  auto it = std::find(stacking_.begin(), stacking_.end(), handle);
  if (it == stacking_.end() || it == stacking_.begin()) {
    return 0;
  }
  return *std::prev(it);
}

SimDesktop::WindowHandle SimDesktop::form_window(const QString& form_name) {
  return form_windows_.value(form_name, 0);
}

void SimDesktop::set_form_window(const QString& form_name, WindowHandle window) {
  form_windows_.insert(form_name, window);
}

void SimDesktop::PushKeys(const ports::KeySequence& keys) {
  // Stamped when sent; the pauses inside the string move the clock afterwards.
  nlohmann::json strokes = nlohmann::json::array();
  for (const ports::KeyAction& action : keys.actions) {
    if (const auto* stroke = std::get_if<ports::KeyStroke>(&action)) {
      strokes.push_back(Trace::text(keys::describe(*stroke)));
    }
  }
  trace_.event("keys", {{"keys", Trace::text(keys.text)},
                        {"window", title_json(window_title(focus_))},
                        {"strokes", strokes}});
  for (const ports::KeyAction& action : keys.actions) {
    if (const auto* pause = std::get_if<ports::KeyPause>(&action)) {
      runtime_.sleep_ms(pause->duration_ms);
      continue;
    }
    const auto& stroke = std::get<ports::KeyStroke>(action);
    Window* w = find(focus_);
    if (w == nullptr) {
      continue;
    }
    if (w->keys_received.size() == kKeysKept) {
      w->keys_received.removeFirst();
    }
    w->keys_received.append(keys::describe(stroke));
    const bool alt_f4 = stroke.named == ports::NamedKey::kF4 && stroke.modifiers == ports::kAlt;
    if (alt_f4 && w->title != designer::window_title()) {
      close_window(w->handle);
    }
  }
}

void SimDesktop::SetCursorPos(int x, int y) {
  cursor_ = QPoint(x, y);
  trace_.event("cursor", {{"x", x}, {"y", y}});
}

void SimDesktop::set_clipboard_text(const QString& text) {
  clipboard_ = text;
  trace_.event("clipboard", {{"value", Trace::text(text)}, {"by", "player"}});
}

void SimDesktop::set_clipboard_from_outside(const QString& text) {
  clipboard_ = text;
  trace_.event("clipboard", {{"value", Trace::text(text)}, {"by", "other"}});
}

void SimFormWindows::attach(forms::Form& form) {
  forms_.insert(form.name(), &form);
  form.add_observer(this);
  if (form.Visible) {
    property_changed(form.name(), form.name(), QStringLiteral("Visible"), true);
  }
}

void SimFormWindows::detach(forms::Form& form) {
  form.remove_observer(this);
  if (const auto handle = desktop_.form_window(form.name()); handle != 0) {
    desktop_.close_window(handle);
  }
  forms_.remove(form.name());
}

void SimFormWindows::property_changed(const QString& form_name, const QString& control,
                                      const QString& property, const QVariant& value) {
  forms::Form* form = forms_.value(form_name, nullptr);
  if (form == nullptr || control != form_name) {
    return;
  }
  const QRect geometry(form->Left, form->Top, form->Width, form->Height);
  const auto handle = desktop_.form_window(form_name);
  if (property == u"Visible") {
    if (value.toBool() && handle == 0) {
      const QString title = form->Caption.get().isEmpty() ? form_name : form->Caption.get();
      desktop_.set_form_window(
          form_name, desktop_.open_window(title, geometry, SimDesktop::Activation::kActivate));
    } else if (!value.toBool() && handle != 0) {
      desktop_.close_window(handle);
    }
  }
}

}  // namespace vantora::sim
