#include "core/shell/forms.h"

namespace vantora::forms {

StartupForm::StartupForm(ports::Runtime& runtime)
    : Form(QStringLiteral("Startup")), Timer1(*this, QStringLiteral("Timer1"), runtime, 1000) {
  Left = 0;
  Top = 0;
  Width = 800;
  Height = 600;
}

RestartForm::RestartForm() : Form(QStringLiteral("Restart")) {
  Left = 0;
  Top = 0;
  Width = 800;
  Height = 600;
}

PlayerForm::PlayerForm(ports::Runtime& runtime)
    : Form(QStringLiteral("Player")),
      T_Movie(*this, QStringLiteral("T_Movie"), runtime, 500),
      AdTimer(*this, QStringLiteral("AdTimer"), runtime, 666),
      FillerTimer(*this, QStringLiteral("FillerTimer"), runtime, 500),
      NewsTimer(*this, QStringLiteral("NewsTimer"), runtime, 937),
      LogoTimer(*this, QStringLiteral("LogoTimer"), runtime, 15000),
      Timer2(*this, QStringLiteral("Timer2"), runtime, 1000) {
  Caption = QStringLiteral("Vantora Player");
  Width = 500;
  Height = 350;
}

}  // namespace vantora::forms
