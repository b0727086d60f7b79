#include "platform/views/form_view.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

namespace vantora::platform {
namespace {

// Controls drawn inside another control rather than on the form.
QString container_of(const QString& control) {
  if (control == u"Label1") {
    return QStringLiteral("Picture1");
  }
  return {};
}

// Hands presses and releases over a label or picture to the control, in twips: the overlays
// are dragged into place by the operator.
class MouseRelay final : public QObject {
 public:
  MouseRelay(QObject* parent, forms::VisualControl& control) : QObject(parent), control_(control) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
      const QPointF pixels = static_cast<QMouseEvent*>(event)->position();
      const QPointF twips = twips_per_pixel(watched);
      const auto x = static_cast<float>(pixels.x() * twips.x());
      const auto y = static_cast<float>(pixels.y() * twips.y());
      if (type == QEvent::MouseButtonPress) {
        control_.mouse_down(x, y);
      } else {
        control_.mouse_up(x, y);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  // The screen's own resolution, as the desktop port gives it to the handlers that divide by it.
  static QPointF twips_per_pixel(QObject* watched) {
    constexpr double kTwipsPerInch = 1440.0;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->logicalDpiX() <= 0 || widget->logicalDpiY() <= 0) {
      return {15.0, 15.0};
    }
    return {kTwipsPerInch / widget->logicalDpiX(), kTwipsPerInch / widget->logicalDpiY()};
  }

  forms::VisualControl& control_;
};

}  // namespace

FormView::FormView(forms::Form& form) : form_(form), window_(std::make_unique<QWidget>()) {
  window_->setWindowFlag(Qt::FramelessWindowHint);
  window_->setObjectName(form.name());
  // Picture1 first, so the controls drawn inside it find it.
  for (forms::Control* control : form.controls()) {
    if (control->name() == u"Picture1") {
      build(*control);
    }
  }
  for (forms::Control* control : form.controls()) {
    if (control->name() != u"Picture1") {
      build(*control);
    }
  }
  apply_all(form);
  for (forms::Control* control : form.controls()) {
    apply_all(*control);
  }
  form.add_observer(this);
}

FormView::~FormView() {
  form_.remove_observer(this);
}

void FormView::build(forms::Control& control) {
  const QString container = container_of(control.name());
  QWidget* parent = window_.get();
  if (!container.isEmpty() && widgets_.value(container)) {
    parent = widgets_.value(container);
  }
  QWidget* widget = nullptr;
  if (auto* button = dynamic_cast<forms::Button*>(&control)) {
    auto* push = new QPushButton(parent);
    QObject::connect(push, &QPushButton::clicked, push, [button] { button->click(); });
    widget = push;
  } else if (auto* label = dynamic_cast<forms::Label*>(&control)) {
    widget = new QLabel(parent);
    widget->installEventFilter(new MouseRelay(widget, *label));
  } else if (dynamic_cast<forms::TextBox*>(&control) != nullptr) {
    widget = new QLineEdit(parent);
  } else if (dynamic_cast<forms::ListBox*>(&control) != nullptr) {
    widget = new QListWidget(parent);
  } else if (auto* model_picker = dynamic_cast<forms::DatePicker*>(&control)) {
    auto* picker = new QDateTimeEdit(parent);
    picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    // The operator's edit goes to the model, as a scripted "set" does in the simulator.
    QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, picker,
                     [model_picker](const QDateTime& value) {
                       // The model's own change shown here comes back; it is not an edit.
                       if (date_time::to_qdatetime(model_picker->Value.get()) != value) {
                         model_picker->Value = date_time::from_qdatetime(value);
                       }
                     });
    widget = picker;
  } else if (auto* box = dynamic_cast<forms::PictureBox*>(&control)) {
    auto* picture = new QLabel(parent);
    picture->setScaledContents(true);
    picture->installEventFilter(new MouseRelay(picture, *box));
    widget = picture;
  }
  if (widget != nullptr) {
    widget->setObjectName(control.name());
    widgets_.insert(control.name(), widget);
  }
}

// Pushes every property the model holds now, as if each had just changed.
void FormView::apply_all(forms::Control& control) {
  const QString& name = control.name();
  if (auto* visual = dynamic_cast<forms::VisualControl*>(&control)) {
    apply(name, QStringLiteral("Left"), visual->Left.get());
    apply(name, QStringLiteral("Top"), visual->Top.get());
    apply(name, QStringLiteral("Width"), visual->Width.get());
    apply(name, QStringLiteral("Height"), visual->Height.get());
    apply(name, QStringLiteral("Enabled"), visual->Enabled.get());
  }
  if (auto* label = dynamic_cast<forms::Label*>(&control)) {
    apply(name, QStringLiteral("Caption"), label->Caption.get());
  }
  if (auto* button = dynamic_cast<forms::Button*>(&control)) {
    apply(name, QStringLiteral("Caption"), button->Caption.get());
  }
  if (auto* form = dynamic_cast<forms::Form*>(&control)) {
    apply(name, QStringLiteral("Caption"), form->Caption.get());
  }
  if (auto* text = dynamic_cast<forms::TextBox*>(&control)) {
    apply(name, QStringLiteral("Text"), text->Text.get());
  }
  if (auto* list = dynamic_cast<forms::ListBox*>(&control)) {
    apply(name, QStringLiteral("List"), list->items());
  }
  if (auto* picture = dynamic_cast<forms::PictureBox*>(&control)) {
    apply(name, QStringLiteral("Picture"), picture->Picture.get());
  }
  if (auto* picker = dynamic_cast<forms::DatePicker*>(&control)) {
    apply(name, QStringLiteral("Value"), QVariant::fromValue(picker->Value.get()));
  }
  if (auto* visual = dynamic_cast<forms::VisualControl*>(&control)) {
    apply(name, QStringLiteral("Visible"), visual->Visible.get());
  }
}

void FormView::property_changed(const QString& /*form*/, const QString& control,
                                const QString& property, const QVariant& value) {
  apply(control, property, value);
}

void FormView::apply(const QString& control, const QString& property, const QVariant& value) {
  const bool is_form = control == form_.name();
  QWidget* widget = is_form ? window_.get() : widgets_.value(control).data();
  if (widget == nullptr) {
    return;
  }
  if (property == u"Visible") {
    widget->setVisible(value.toBool());
    if (is_form && value.toBool() && !window_made_) {
      window_made_ = true;
      if (on_window_made) {
        on_window_made(form_.name(), window_->winId());
      }
    }
  } else if (property == u"Left" || property == u"Top" || property == u"Width" ||
             property == u"Height") {
    QRect geometry = widget->geometry();
    const int number = value.toInt();
    if (property == u"Left") {
      geometry.moveLeft(number);
    } else if (property == u"Top") {
      geometry.moveTop(number);
    } else if (property == u"Width") {
      geometry.setWidth(number);
    } else {
      geometry.setHeight(number);
    }
    widget->setGeometry(geometry);
  } else if (property == u"Enabled") {
    widget->setEnabled(value.toBool());
  } else if (property == u"Caption") {
    if (is_form) {
      window_->setWindowTitle(value.toString());
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      label->setText(value.toString());
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
      button->setText(value.toString());
    }
  } else if (property == u"Text") {
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
      line->setText(value.toString());
    }
  } else if (property == u"List") {
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
      list->clear();
      list->addItems(value.toStringList());
    }
  } else if (property == u"Picture") {
    if (auto* picture = qobject_cast<QLabel*>(widget)) {
      picture->setPixmap(value.toString().isEmpty() ? QPixmap() : QPixmap(value.toString()));
    }
  } else if (property == u"Value") {
    if (auto* picker = qobject_cast<QDateTimeEdit*>(widget)) {
      picker->setDateTime(date_time::to_qdatetime(value.value<DateTime>()));
    }
  }
}

}  // namespace vantora::platform
