#pragma once

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/shell/form_model.h"

namespace vantora::platform {

// A form on screen: a frameless top-level window with one widget per control, built from the
// form model and kept in step with it. Clicks go back to the model's buttons.
class FormView final : public forms::FormObserver {
 public:
  explicit FormView(forms::Form& form);
  ~FormView() override;
  FormView(const FormView&) = delete;
  FormView& operator=(const FormView&) = delete;

  QWidget& window() { return *window_; }
  QWidget* widget(const QString& control_name) const { return widgets_.value(control_name); }

  // Called once the window exists natively, with its window id (the desktop registers it).
  std::function<void(const QString& form_name, WId window)> on_window_made;

  void property_changed(const QString& form, const QString& control, const QString& property,
                        const QVariant& value) override;

 private:
  void build(forms::Control& control);
  void apply(const QString& control, const QString& property, const QVariant& value);
  void apply_all(forms::Control& control);

  forms::Form& form_;
  std::unique_ptr<QWidget> window_;
  QHash<QString, QPointer<QWidget>> widgets_;
  bool window_made_ = false;
};

}  // namespace vantora::platform
