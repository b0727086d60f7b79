#include "core/scheduler/window_order.h"

#include <gtest/gtest.h>

#include "support/player_fixture.h"

namespace vantora {
namespace {

using Activation = sim::SimDesktop::Activation;

class WindowOrderTest : public testing::PlayerFixture {
 protected:
  // Opens the three windows bottom to top in the given order (video, designer, player by
  // default names) and tells the player their handles.
  void open_windows(const std::vector<QString>& bottom_to_top) {
    for (const QString& title : bottom_to_top) {
      const auto handle = desktop_->open_window(title, kStart, Activation::kNoActivate);
      if (title == "video") {
        player_->state.windows.VideoHwnd = handle;
      } else if (title == "designer") {
        globals_.DesignerHwnd = handle;
      } else {
        player_->state.windows.PlayerHwnd = handle;
      }
    }
    player_->state.row.PictureTop = 60;
    player_->state.row.PictureHeight = 480;
  }
  QRect geometry(ports::WindowHandle handle) const { return desktop_->window(handle)->geometry; }
  std::vector<ports::WindowHandle> top_three() const {
    const auto& stack = desktop_->stacking();
    return {stack.end() - 3, stack.end()};
  }

  static constexpr QRect kStart{100, 100, 50, 50};
};

// Each ad tick puts the video at the bottom, the designer over the screen and the player in its
// corner on top, unless the designer is already right below the player or the player is paused.
TEST_F(WindowOrderTest, RestacksVideoBelowDesignerBelowPlayerUnlessInOrderOrPaused) {
  struct Case {
    const char* name;
    std::vector<QString> bottom_to_top;
    Bool16 panel_left;
    Bool16 paused;
    int player_x;  // 0: left alone
  };
  const Case cases[] = {
      {"panel right", {"designer", "video", "player"}, kFalse, kFalse, 298},
      {"panel left", {"designer", "video", "player"}, kTrue, kFalse, 2},
      {"designer right below the player", {"video", "designer", "player"}, kFalse, kFalse, 0},
      {"paused", {"designer", "video", "player"}, kFalse, kTrue, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    open_windows(c.bottom_to_top);
    globals_.PanelLeft = c.panel_left;
    player_->state.transport.Paused = c.paused;
    const auto before = desktop_->stacking();
    Set_Normal_Order(*player_);
    const PlayerState& s = player_->state;
    if (c.player_x == 0) {
      EXPECT_EQ(desktop_->stacking(), before);
      EXPECT_EQ(geometry(s.windows.PlayerHwnd), kStart);
      continue;
    }
    EXPECT_EQ(desktop_->stacking().front(), s.windows.VideoHwnd);
    EXPECT_EQ(top_three()[1], globals_.DesignerHwnd);
    EXPECT_EQ(top_three()[2], s.windows.PlayerHwnd);
    EXPECT_EQ(geometry(s.windows.VideoHwnd), QRect(0, 60, 800, 480));
    EXPECT_EQ(geometry(globals_.DesignerHwnd), QRect(4, 4, 792, 580));
    EXPECT_EQ(geometry(s.windows.PlayerHwnd), QRect(c.player_x, 2, 500, 350));
  }
}

}  // namespace
}  // namespace vantora
