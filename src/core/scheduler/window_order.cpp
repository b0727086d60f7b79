#include "core/scheduler/window_order.h"

#include "core/shell/procedure.h"

namespace vantora {

namespace {

ports::WindowOrder& desktop(const Player& p) {
  if (p.window_order == nullptr) {
    throw RuntimeError(err::kObjectVariableNotSet);
  }
  return *p.window_order;
}

}  // namespace

void Set_Normal_Order(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Set_Normal_Order()"));
  const PlayerState& s = p.state;
  if (s.Paused == kTrue) {
    return;
  }
  std::int32_t below = 0;
  proc([&] { below = desktop(p).window_below(s.PlayerHwnd); });
  if (below == p.module1.DesignerHwnd) {
    return;
  }
  proc([&] {
    desktop(p).set_window_pos(s.VideoHwnd, ports::ZPlace::kBottom, 0, s.PictureTop, 800,
                              s.PictureHeight);
  });
  proc([&] {
    desktop(p).set_window_pos(p.module1.DesignerHwnd, ports::ZPlace::kTopmost, 4, 4, 792, 580);
  });
  const int player_left = p.module1.PanelLeft == kTrue ? 2 : 298;
  proc([&] {
    desktop(p).set_window_pos(s.PlayerHwnd, ports::ZPlace::kTopmost, player_left, 2, 500, 350);
  });
}

}  // namespace vantora
