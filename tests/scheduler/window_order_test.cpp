#include "core/scheduler/window_order.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/scheduled_player.h"

namespace vantora {
namespace {

// Windows stacked top first; records each placement.
class FakeWindowOrder final : public ports::WindowOrder {
 public:
  using Placement = std::tuple<std::int32_t, ports::ZPlace, int, int, int, int>;
  std::int32_t window_below(std::int32_t hwnd) const override {
    for (std::size_t i = 0; i + 1 < stack.size(); ++i) {
      if (stack[i] == hwnd) {
        return stack[i + 1];
      }
    }
    return 0;
  }
  void set_window_pos(std::int32_t hwnd, ports::ZPlace place, int x, int y, int width,
                      int height) override {
    placements.emplace_back(hwnd, place, x, y, width, height);
  }
  std::vector<std::int32_t> stack;
  std::vector<Placement> placements;
};

constexpr std::int32_t kPlayer = 11;
constexpr std::int32_t kDesigner = 22;
constexpr std::int32_t kVideo = 33;

class WindowOrderTest : public testing::ScheduledPlayerFixture {
 protected:
  void SetUp() override {
    ScheduledPlayerFixture::SetUp();
    player_.window_order = &desktop_;
    player_.state.PlayerHwnd = kPlayer;
    player_.state.VideoHwnd = kVideo;
    player_.state.PictureTop = 60;
    player_.state.PictureHeight = 480;
    globals_.DesignerHwnd = kDesigner;
  }
  FakeWindowOrder desktop_;
};

TEST_F(WindowOrderTest, RestacksUnlessPausedOrAlreadyInOrder) {
  using ports::ZPlace;
  using Placement = FakeWindowOrder::Placement;
  struct Case {
    const char* name;
    std::vector<std::int32_t> stack;
    Bool16 paused;
    Bool16 panel_left;
    std::vector<Placement> expected;
  };
  const std::vector<Placement> restack_right = {
      {kVideo, ZPlace::kBottom, 0, 60, 800, 480},
      {kDesigner, ZPlace::kTopmost, 4, 4, 792, 580},
      {kPlayer, ZPlace::kTopmost, 298, 2, 500, 350},
  };
  std::vector<Placement> restack_left = restack_right;
  restack_left[2] = {kPlayer, ZPlace::kTopmost, 2, 2, 500, 350};
  const Case cases[] = {
      {"designer right below", {kPlayer, kDesigner, kVideo}, kFalse, kFalse, {}},
      {"video came up", {kPlayer, kVideo, kDesigner}, kFalse, kFalse, restack_right},
      {"panel on the left", {kPlayer, kVideo, kDesigner}, kFalse, kTrue, restack_left},
      {"paused", {kPlayer, kVideo, kDesigner}, kTrue, kFalse, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop_.stack = c.stack;
    desktop_.placements.clear();
    player_.state.Paused = c.paused;
    globals_.PanelLeft = c.panel_left;
    Set_Normal_Order(player_);
    EXPECT_EQ(desktop_.placements, c.expected);
  }
}

}  // namespace
}  // namespace vantora
