#include "core/shell/player_handlers.h"

#include "core/ads/ad_timer.h"
#include "core/filler/filler.h"
#include "core/logo/logo_timer.h"
#include "core/media/transport.h"
#include "core/operator/display_panel.h"
#include "core/scheduler/day_start.h"

namespace vantora {

void Connect_Player_Handlers(Player& p) {
  forms::PlayerForm& f = p.form;
  f.Timer2.on_timer = [&p] { Timer2_Timer(p); };
  f.FillerTimer.on_timer = [&p] { FillerTimer_Timer(p); };
  f.AdTimer.on_timer = [&p] { AdTimer_Timer(p); };
  f.LogoTimer.on_timer = [&p] { LogoTimer_Timer(p); };
  f.FF.on_click = [&p] { FF_Click(p); };
  f.RW.on_click = [&p] { RW_Click(p); };
  f.B_pause.on_click = [&p] { B_pause_Click(p); };
  f.play_pause.on_click = [&p] { play_pause_Click(p); };
  f.B_UP.on_click = [&p] { B_UP_Click(p); };
  f.B_Down.on_click = [&p] { B_Down_Click(p); };
  f.B_thin.on_click = [&p] { B_thin_Click(p); };
  f.b_Wide.on_click = [&p] { b_Wide_Click(p); };
  f.B_Disp.on_click = [&p] { B_Disp_Click(p); };
  f.B_SetTime.on_click = [&p] { B_SetTime_Click(p); };
}

}  // namespace vantora
