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

TEST_F(WindowOrderTest, RestacksVideoBelowDesignerBelowPlayer) {
  struct Case {
    const char* name;
    Bool16 panel_left;
    int player_x;
  };
  for (const Case& c : {Case{"panel right", kFalse, 298}, Case{"panel left", kTrue, 2}}) {
    SCOPED_TRACE(c.name);
    open_windows({"designer", "video", "player"});
    globals_.PanelLeft = c.panel_left;
    Set_Normal_Order(*player_);
    const PlayerState& s = player_->state;
    EXPECT_EQ(desktop_->stacking().front(), s.windows.VideoHwnd);
    EXPECT_EQ(top_three()[1], globals_.DesignerHwnd);
    EXPECT_EQ(top_three()[2], s.windows.PlayerHwnd);
    EXPECT_EQ(geometry(s.windows.VideoHwnd), QRect(0, 60, 800, 480));
    EXPECT_EQ(geometry(globals_.DesignerHwnd), QRect(4, 4, 792, 580));
    EXPECT_EQ(geometry(s.windows.PlayerHwnd), QRect(c.player_x, 2, 500, 350));
    EXPECT_TRUE(desktop_->window(s.windows.PlayerHwnd)->topmost);
  }
}

TEST_F(WindowOrderTest, LeavesTheScreenAloneWhenInOrderOrPaused) {
  struct Case {
    const char* name;
    std::vector<QString> bottom_to_top;
    Bool16 paused;
  };
  const Case cases[] = {
      {"designer right below the player", {"video", "designer", "player"}, kFalse},
      {"paused", {"designer", "video", "player"}, kTrue},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    open_windows(c.bottom_to_top);
    player_->state.transport.Paused = c.paused;
    const auto before = desktop_->stacking();
    Set_Normal_Order(*player_);
    EXPECT_EQ(desktop_->stacking(), before);
    EXPECT_EQ(geometry(player_->state.windows.PlayerHwnd), kStart);
  }
}

}  // namespace
}  // namespace vantora
