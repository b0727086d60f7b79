#include "core/scheduler/window_order.h"

#include <QRect>

#include "core/shell/procedure.h"

namespace vantora {

void Set_Normal_Order(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Set_Normal_Order()"));
  const PlayerState& s = p.state;
  if (s.transport.Paused == kTrue) {
    return;
  }
  ports::WindowHandle below = 0;
  proc([&] { below = p.desktop.GetWindow_below(s.windows.PlayerHwnd); });
  if (below == p.module1.DesignerHwnd) {
    return;
  }
  proc([&] {
    p.desktop.SetWindowPos(s.windows.VideoHwnd, ports::ZOrder::kBottom,
                           QRect(0, s.row.PictureTop, 800, s.row.PictureHeight));
  });
  proc([&] {
    p.desktop.SetWindowPos(p.module1.DesignerHwnd, ports::ZOrder::kTopmost, QRect(4, 4, 792, 580));
  });
  const int player_left = p.module1.PanelLeft == kTrue ? 2 : 298;
  proc([&] {
    p.desktop.SetWindowPos(s.windows.PlayerHwnd, ports::ZOrder::kTopmost,
                           QRect(player_left, 2, 500, 350));
  });
}

}  // namespace vantora
