#include "core/ads/ad_timer.h"

#include "base/object_ref.h"
#include "core/ads/ad_break.h"
#include "core/ads/clipboard_protocol.h"
#include "core/media/clip_end.h"
#include "core/scheduler/window_order.h"
#include "core/shell/procedure.h"

namespace vantora {

void AdTimer_Timer(Player& p) {
  // A clip still playing answers the 10 ms wait with a time-out: the normal case, not logged.
  Procedure proc(p.errors, QStringLiteral("AdTimer_Timer()"), OnError::kWaitTimeoutDropped);
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;

  if (s.graph.ClipPlaying == kTrue) {
    proc([&] { Poll_Clip_End(s.graph); });
    proc([&] {
      f.Text1.Text = QString::number(
          values::int_part(object(s.graph.m_objMediaPosition).CurrentPosition()), 'f', 0);
    });
  }
  if (s.transport.Paused == kTrue) {
    return;
  }
  if (s.overlay.ClockShown == kTrue) {
    f.T_Time.Caption = date_time::to_qdatetime(p.runtime.now()).toString(QStringLiteral("HH:mm"));
  }
  if (s.transport.Halted == kTrue) {
    return;
  }

  Serve_Clipboard_Protocol(p);
  if (Run_Break_Step(p) == BreakStep::kEndTick) {
    return;
  }
  Set_Normal_Order(p);
}

}  // namespace vantora
