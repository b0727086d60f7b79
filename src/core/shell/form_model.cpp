#include "core/shell/form_model.h"

#include <algorithm>

#include "base/errors.h"

namespace vantora::forms {

Control::Control(Form& form, QString name) : form_(form), name_(std::move(name)) {
  form_.register_control(this);
}

Control::Control(Form& form, QString name, FormItself /*itself*/)
    : form_(form), name_(std::move(name)) {}

void Control::publish(const char* property, const QVariant& value) const {
  form_.notify(name_, QString::fromLatin1(property), value);
}

const QString& ListBox::List(int index) const {
  if (index < 0 || index >= items_.size()) {
    throw RuntimeError(err::kSubscriptOutOfRange);
  }
  return items_[index];
}

void ListBox::AddItem(const QString& item) {
  items_.append(item);
  publish("List", items_);
}

void ListBox::RemoveItem(int index) {
  if (index < 0 || index >= items_.size()) {
    throw RuntimeError(err::kInvalidProcedureCall);
  }
  items_.removeAt(index);
  publish("List", items_);
}

void ListBox::Clear() {
  if (items_.isEmpty()) {
    return;
  }
  items_.clear();
  publish("List", items_);
}

void ListBox::replace_items(QStringList items) {
  if (items == items_) {
    return;
  }
  items_ = std::move(items);
  publish("List", items_);
}

void FileListBox::show_listing(const QString& path, QStringList files) {
  if (path != path_) {
    path_ = path;
    publish("Path", path_);
  }
  replace_items(std::move(files));
}

TimerControl::TimerControl(Form& form, QString name, ports::Runtime& runtime, int interval_ms)
    : Control(form, name), Interval(*this, "Interval", interval_ms) {
  timer_ = runtime.create_timer(std::move(name), interval_ms, [this] {
    if (on_timer) {
      on_timer();
    }
  });
  Enabled.on_change([this](const bool& enabled) { timer_->set_enabled(enabled); });
  Interval.on_change([this](const int& interval) { timer_->set_interval_ms(interval); });
}

Form::Form(QString name) : VisualControl(*this, name, FormItself{}), Caption(*this, "Caption") {}

Form::~Form() = default;

void Form::add_observer(FormObserver* observer) {
  observers_.push_back(observer);
}

void Form::remove_observer(FormObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void Form::register_control(Control* control) {
  controls_.push_back(control);
}

void Form::notify(const QString& control, const QString& property, const QVariant& value) const {
  for (FormObserver* observer : observers_) {
    observer->property_changed(name(), control, property, value);
  }
}

}  // namespace vantora::forms
