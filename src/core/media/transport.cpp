#include "core/media/transport.h"

#include "base/object_ref.h"
#include "core/designer/designer_link.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

constexpr double kSeekStep_s = 10.0;
constexpr double kForwardMargin_s = 15.0;
constexpr double kBackMargin_s = 11.0;
constexpr int kPausePoll_ms = 50;
constexpr int kWindowStep_px = 5;
constexpr int kStretch_px = 6;
constexpr int kStretchShift_px = 3;

// The pause waits for play_pause, or for the window to go: a program being stopped must not
// keep waiting for a click that can no longer come.
bool pause_holds(const Player& p) {
  const PlayerState& s = p.state;
  return s.transport.Paused == kTrue && s.transport.Halted != kTrue &&
         s.lifecycle.Unloaded != kTrue;
}

void tell_designer(Player& p, Procedure& proc, const QString& keys) {
  proc([&] { designer::Activate(p.desktop); });
  p.runtime.sleep_ms(1000);
  proc([&] { designer::Send_Keys(p.desktop, keys); });
}

// The window buttons have no trap of their own, but a button must never take the program down:
// a window that went away under the click is logged like any failed statement.
template <typename Change>
void change_video_window(Player& p, const QString& label, Change&& change) {
  Procedure proc(p.errors, label);
  const std::shared_ptr<ports::VideoWindow> window = p.state.graph.m_objVideoWindow;
  if (!window) {
    return;
  }
  proc([&] { change(*window); });
}

}  // namespace

void FF_Click(Player& p) {
  Procedure proc(p.errors, QStringLiteral("FF_Click()"));
  const std::shared_ptr<ports::MediaPosition>& position = p.state.graph.m_objMediaPosition;
  double duration_s = 0.0;
  double at_s = 0.0;
  proc([&] { duration_s = object(position).Duration(); });
  proc([&] { at_s = object(position).CurrentPosition(); });
  if (at_s + kForwardMargin_s < duration_s) {
    proc([&] {
      object(position).put_CurrentPosition(object(position).CurrentPosition() + kSeekStep_s);
    });
  }
}

void RW_Click(Player& p) {
  Procedure proc(p.errors, QStringLiteral("RW_Click()"));
  const std::shared_ptr<ports::MediaPosition>& position = p.state.graph.m_objMediaPosition;
  double at_s = 0.0;
  proc([&] { at_s = object(position).CurrentPosition(); });
  if (at_s - kBackMargin_s > 0.0) {
    proc([&] {
      object(position).put_CurrentPosition(object(position).CurrentPosition() - kSeekStep_s);
    });
  }
}

void B_pause_Click(Player& p) {
  Procedure proc(p.errors, QStringLiteral("B_pause_Click()"));
  PlayerState& s = p.state;
  s.transport.Paused = kTrue;
  proc([&] { object(s.graph.m_objMediaControl).Pause(); });
  tell_designer(p, proc, QStringLiteral("P{sleep 1}P"));
  while (pause_holds(p)) {
    p.runtime.yield();
    p.runtime.sleep_ms(kPausePoll_ms);
    p.runtime.yield();
  }
  if (s.transport.Halted == kTrue || s.lifecycle.Unloaded == kTrue) {
    return;
  }
  // The graph of this moment: a break or clip started during the pause runs on its own.
  proc([&] { object(s.graph.m_objMediaControl).Run(); });
  tell_designer(p, proc, QStringLiteral(" {sleep 1} "));
}

void play_pause_Click(Player& p) {
  p.errors.ProcName = QStringLiteral("play_pause_Click");
  p.state.transport.Paused = kFalse;
}

void B_UP_Click(Player& p) {
  change_video_window(p, QStringLiteral("B_UP_Click()"), [](ports::VideoWindow& window) {
    window.put_Top(window.Top() - kWindowStep_px);
  });
}

void B_Down_Click(Player& p) {
  change_video_window(p, QStringLiteral("B_Down_Click()"), [](ports::VideoWindow& window) {
    window.put_Top(window.Top() + kWindowStep_px);
  });
}

void B_thin_Click(Player& p) {
  change_video_window(p, QStringLiteral("B_thin_Click()"), [](ports::VideoWindow& window) {
    window.put_Height(window.Height() + kStretch_px);
    window.put_Top(window.Top() - kStretchShift_px);
  });
}

void b_Wide_Click(Player& p) {
  change_video_window(p, QStringLiteral("b_Wide_Click()"), [](ports::VideoWindow& window) {
    window.put_Height(window.Height() - kStretch_px);
    window.put_Top(window.Top() + kStretchShift_px);
  });
}

}  // namespace vantora
