#include "core/operator/display_panel.h"

namespace vantora {

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
