#include "core/operator/display_panel.h"

#include <array>

#include "core/shell/procedure.h"

namespace vantora {
namespace {

void show_transport(forms::PlayerForm& f, bool shown) {
  for (forms::Button* button :
       std::array{&f.B_pause, &f.play_pause, &f.RW, &f.FF, &f.B_UP, &f.B_Down}) {
    button->Visible = shown;
  }
}

}  // namespace

void B_Disp_Click(Player& p) {
  forms::PlayerForm& f = p.form;
  Overlay& o = p.state.overlay;
  if (o.ClockPanelShown == kTrue) {
    o.ClockPanelShown = kFalse;
    f.Time_Picker.Visible = false;
    f.B_SetTime.Visible = false;
    show_transport(f, true);
    f.B_Disp.Caption = QStringLiteral("A");
  } else {
    o.ClockPanelShown = kTrue;
    f.Time_Picker.Value = date_time::truncate_to_second(p.runtime.now());
    show_transport(f, false);
    f.Time_Picker.Visible = true;
    f.B_SetTime.Visible = true;
    f.B_Disp.Caption = QStringLiteral("B");
  }
}

void B_SetTime_Click(Player& p) {
  Procedure proc(p.errors, QStringLiteral("B_SetTime_Click()"));
  const bool set = proc([&] { p.runtime.set_time_of_day(p.form.Time_Picker.Value.get()); });
  p.form.B_SetTime.Caption = set ? QStringLiteral("Set") : QStringLiteral("Refused");
}

void Command1_Click(Player& p) {
  p.errors.ProcName = QStringLiteral("Command1_Click()");
  forms::PlayerForm& form = p.form;
  // The news timer is left as it is: the unload stops it with the rest.
  form.AdTimer.Enabled = false;
  form.FillerTimer.Enabled = false;
  form.T_Movie.Enabled = false;
  form.LogoTimer.Enabled = false;
  p.state.transport.Halted = kTrue;
  if (p.unload_and_end) {
    p.unload_and_end();
  }
}

}  // namespace vantora
