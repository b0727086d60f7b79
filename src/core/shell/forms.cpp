#include "core/shell/forms.h"

namespace vantora::forms {
namespace {

void place(VisualControl& control, int left, int top, int width, int height) {
  control.Left = left;
  control.Top = top;
  control.Width = width;
  control.Height = height;
}

}  // namespace

StartupForm::StartupForm(ports::Runtime& runtime)
    : Form(QStringLiteral("Startup")), Timer1(*this, QStringLiteral("Timer1"), runtime, 1000) {
  Left = 0;
  Top = 0;
  Width = 800;
  Height = 600;
  place(Label1, 20, 280, 760, 40);
}

RestartForm::RestartForm() : Form(QStringLiteral("Restart")) {
  Left = 0;
  Top = 0;
  Width = 800;
  Height = 600;
  place(Label1, 20, 280, 760, 40);
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
  // Where the normal window order keeps it on the channel's default panel side (right), so the
  // window shows at its place from the moment it is shown.
  Left = 298;
  Top = 2;
  Width = 500;
  Height = 350;
  // The layout the window opens with; the display panel and the overlays move at run time.
  place(B_pause, 10, 10, 70, 25);
  place(play_pause, 85, 10, 70, 25);
  place(RW, 160, 10, 40, 25);
  place(FF, 205, 10, 40, 25);
  place(B_Restart, 250, 10, 70, 25);
  place(B_Disp, 325, 10, 70, 25);
  // The clock setter takes the transport buttons' place while they are hidden.
  place(Time_Picker, 10, 10, 150, 25);
  place(B_SetTime, 165, 10, 70, 25);
  place(B_UP, 10, 45, 50, 25);
  place(B_Down, 65, 45, 50, 25);
  place(B_thin, 120, 45, 50, 25);
  place(b_Wide, 175, 45, 50, 25);
  place(Command1, 420, 45, 70, 25);
  place(Text1, 10, 80, 100, 22);
  place(Text2, 115, 80, 100, 22);
  place(Text3, 220, 80, 270, 22);
  place(Picture1, 10, 110, 480, 80);
  place(Label1, 10, 10, 200, 20);  // inside Picture1
  place(Logo, 10, 200, 100, 60);
  place(T_Time, 120, 200, 100, 20);
  place(T_Number, 230, 200, 120, 20);
  place(WnW, 360, 200, 130, 60);
  place(File1, 10, 270, 150, 70);
  place(NewsFile, 170, 270, 150, 70);
  place(FillerList, 330, 270, 160, 70);
}

}  // namespace vantora::forms
