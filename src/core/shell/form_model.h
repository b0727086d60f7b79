#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

#include "base/date_time.h"
#include "base/values.h"
#include "ports/runtime.h"

namespace vantora::forms {

// Someone who shows or records the forms: the Qt views render each change, the simulator
// traces it. Only changes are reported, never a value set to what it already was.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void property_changed(const QString& form, const QString& control,
                                const QString& property, const QVariant& value) = 0;
};

class Form;

// A control of a form, known by its design name. Its properties are plain values; setting one
// notifies the form's observers.
class Control {
 public:
  Control(Form& form, QString name);
  // The form itself: a control that does not register with itself.
  struct FormItself {};
  Control(Form& form, QString name, FormItself);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const QString& name() const { return name_; }
  Form& form() const { return form_; }

  void publish(const char* property, const QVariant& value) const;

 private:
  Form& form_;
  QString name_;
};

template <typename T>
QVariant to_variant(const T& value) {
  return QVariant::fromValue(value);
}
inline QVariant to_variant(const DateTime& value) {
  return QVariant::fromValue(value);
}

// One observable property: reads like a plain value, reports each change.
template <typename T>
class Property {
 public:
  Property(const Control& owner, const char* name, T initial = T{})
      : owner_(owner), name_(name), value_(std::move(initial)) {}
  Property(const Property&) = delete;
  Property& operator=(const Property&) = delete;

  const T& get() const { return value_; }
  operator const T&() const { return value_; }  // NOLINT(google-explicit-constructor)

  Property& operator=(const T& value) {
    set(value);
    return *this;
  }
  void set(const T& value) {
    if (value == value_) {
      return;
    }
    value_ = value;
    if (on_change_) {
      on_change_(value_);
    }
    owner_.publish(name_, to_variant(value_));
  }

  // Lets a control act on its own property (a timer control starts its timer).
  void on_change(std::function<void(const T&)> hook) { on_change_ = std::move(hook); }
  const char* name() const { return name_; }

 private:
  const Control& owner_;
  const char* name_;
  T value_;
  std::function<void(const T&)> on_change_;
};

enum class Visibility { kShown, kHidden };

// Geometry and visibility every visible control has, in pixels.
class VisualControl : public Control {
 public:
  explicit VisualControl(Form& form, QString name, Visibility visibility = Visibility::kShown)
      : Control(form, std::move(name)),
        Visible(*this, "Visible", visibility == Visibility::kShown) {}
  VisualControl(Form& form, QString name, FormItself itself)
      : Control(form, std::move(name), itself), Visible(*this, "Visible", false) {}

  Property<bool> Visible;
  Property<bool> Enabled{*this, "Enabled", true};
  Property<int> Left{*this, "Left"};
  Property<int> Top{*this, "Top"};
  Property<int> Width{*this, "Width"};
  Property<int> Height{*this, "Height"};

  // What a press and a release of the mouse over the control run; X and Y are in twips from
  // the control's top left corner (the screen's twips per pixel: 15 at 96 dots per inch). The views
  // and the simulator call these.
  std::function<void(float X, float Y)> on_mouse_down;
  std::function<void(float X, float Y)> on_mouse_up;
  void mouse_down(float X, float Y) const {
    if (on_mouse_down) {
      on_mouse_down(X, Y);
    }
  }
  void mouse_up(float X, float Y) const {
    if (on_mouse_up) {
      on_mouse_up(X, Y);
    }
  }
};

class Label : public VisualControl {
 public:
  Label(Form& form, QString name, QString caption = {}, Visibility visibility = Visibility::kShown)
      : VisualControl(form, std::move(name), visibility),
        Caption(*this, "Caption", std::move(caption)) {}
  Property<QString> Caption;
};

class TextBox : public VisualControl {
 public:
  using VisualControl::VisualControl;
  Property<QString> Text{*this, "Text"};
};

class Button : public VisualControl {
 public:
  Button(Form& form, QString name, QString caption = {}, Visibility visibility = Visibility::kShown)
      : VisualControl(form, std::move(name), visibility),
        Caption(*this, "Caption", std::move(caption)) {}
  Property<QString> Caption;

  // What a click runs; the views and the simulator call click().
  std::function<void()> on_click;
  void click() const {
    if (on_click) {
      on_click();
    }
  }
};

// A picture box: the picture is known by its file; the views load it.
class PictureBox : public VisualControl {
 public:
  using VisualControl::VisualControl;
  Property<QString> Picture{*this, "Picture"};
};

// A list of texts the core fills and reads, as a list box does.
class ListBox : public VisualControl {
 public:
  using VisualControl::VisualControl;

  int ListCount() const { return static_cast<int>(items_.size()); }
  // An index out of range is error 9.
  const QString& List(int index) const;
  void AddItem(const QString& item);
  void RemoveItem(int index);
  void Clear();
  const QStringList& items() const { return items_; }

 protected:
  void replace_items(QStringList items);

 private:
  QStringList items_;
};

// A list box showing the normal files of one folder. Listing the folder is the job of whoever
// sets the path (the core's file-list procedures); the control holds the result.
class FileListBox : public ListBox {
 public:
  using ListBox::ListBox;

  const QString& Path() const { return path_; }
  // Records a successful listing of `path`.
  void show_listing(const QString& path, QStringList files);

 private:
  QString path_;
};

class DatePicker : public VisualControl {
 public:
  using VisualControl::VisualControl;
  Property<DateTime> Value{*this, "Value"};
};

// A timer control: Enabled and Interval drive a runtime timer; the handler is set by the form.
class TimerControl : public Control {
 public:
  TimerControl(Form& form, QString name, ports::Runtime& runtime, int interval_ms);

  Property<bool> Enabled{*this, "Enabled", false};
  Property<int> Interval{*this, "Interval"};

  std::function<void()> on_timer;

 private:
  std::unique_ptr<ports::Timer> timer_;
};

// A window with controls. The form itself is a control named after the form, so its caption,
// geometry and visibility are observed like any other.
class Form : public VisualControl {
 public:
  explicit Form(QString name);
  ~Form() override;

  Property<QString> Caption;

  void add_observer(FormObserver* observer);
  void remove_observer(FormObserver* observer);
  const std::vector<Control*>& controls() const { return controls_; }

 private:
  friend class Control;
  void register_control(Control* control);
  void notify(const QString& control, const QString& property, const QVariant& value) const;

  std::vector<Control*> controls_;
  std::vector<FormObserver*> observers_;
};

}  // namespace vantora::forms
