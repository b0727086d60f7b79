#include <gtest/gtest.h>

#include "core/scheduler/playlist_cursor.h"
#include "core/scheduler/schedule_row.h"
#include "core/scheduler/termination_check.h"
#include "core/scheduler/window_order.h"
#include "support/player_fixture.h"

namespace vantora::testing {
namespace {

// What the scenarios cannot arrange: rows that change or go unreadable under a running search,
// and the window stack as another program may leave it.
using SchedulerTest = PlayerFixture;

// Now is 10:00:00 and shows may start 60 s late; the scenarios cover the window's edges. A show
// not found leaves the cursor where it stood.
TEST_F(SchedulerTest, NextShowIsTheFirstOpenUncompletedShowStart) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, bool>> shows;  // start, completed
    DateTime expected_start;                          // none: no next show
  };
  const Case cases[] = {
      {"the first row is examined", {{"10:00:00", false}, {"11:00:00", false}}, at(10, 0)},
      {"a completed show is skipped", {{"09:59:30", true}, {"12:00:00", false}}, at(12, 0)},
      {"only completed shows", {{"10:30:00", true}}, {}},
      {"no rows", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_tables();
    for (const auto& [start, completed] : c.shows) {
      PlaylistRow row = one_row_show(start, "23:00:00", "/media/show.mpg");
      row.completed = completed;
      add_row(row);
    }
    reopen();
    const bool any = !data_->rsplaylist.eof();
    const DateTime before = any ? values::to_date_time(data_->rsplaylist.field(0)) : DateTime();
    player_->state.settings.StartTolerance = 60;
    Get_Next_Slot(*player_);
    const bool found = c.expected_start != DateTime();
    EXPECT_EQ(player_->state.cursor.NoNextShow, to_bool16(!found));
    EXPECT_EQ(player_->state.cursor.EndOfList, to_bool16(!found));
    if (found) {
      EXPECT_EQ(player_->state.row.SegStart, c.expected_start);
      EXPECT_EQ(player_->state.row.PictureHeight, 600) << "a height of 0 plays full height";
    }
    if (any) {
      EXPECT_EQ(values::to_date_time(data_->rsplaylist.field(0)),
                found ? c.expected_start : before);
    }
  }
}

// A break item loads through the same loader as a segment: AD_Temp's offsets are fractional and
// rounded, and an unreadable column costs only its own variable.
TEST_F(SchedulerTest, BreakItemLoadsLikeASegmentAndABadColumnCostsOnlyItsVariable) {
  using schedule_row::Load;
  tool_exec(
      "INSERT INTO AD_Temp (file_name, end_offset, hide_caption, ad_flag, start_now, picture_top)"
      " VALUES ('/ads/a.mp4', 30.5, 1, 1, 0, NULL)");
  data_->rsADTemp.open();
  Player& p = player(at(10, 0));
  PlayerState& s = p.state;
  s.row.PictureTop = 40;
  s.row.StartNow = kTrue;
  Procedure proc(p.errors, "Get_Ad()");

  schedule_row::load(s, data_->rsADTemp, proc,
                     {Load::kMediaFile, Load::kClipFile, Load::kEndOffset, Load::kPictureTop,
                      Load::kHideCaption, Load::kAdFlag, Load::kStartNow});

  EXPECT_EQ(s.row.MediaFile, "/ads/a.mp4");
  EXPECT_EQ(s.filler.ClipFile, "/ads/a.mp4");
  EXPECT_EQ(s.row.EndOffset, 30) << "30.5 rounds to even";
  EXPECT_EQ(s.row.PictureTop, 40) << "a Null top leaves the old value";
  EXPECT_EQ(s.row.HideCaption, kTrue);
  EXPECT_EQ(s.breaks.AdFlag, kTrue);
  EXPECT_EQ(s.row.StartNow, kFalse) << "the columns after the bad one are still read";
  EXPECT_EQ(logged_errors(), std::vector<std::int32_t>{err::kInvalidUseOfNull});
}

// A row whose show_start flag cannot be read is no show start: counting it as one measured the
// gap to a start that was never read and gave up a show that had room to finish.
TEST_F(SchedulerTest, AnUnreadableRowIsNotTheNextShow) {
  // Interrupted at 10:10, 600 s into a segment begun at 10:00 from offset 0.
  PlaylistRow show = one_row_show("10:00:00", "10:30:00", "/media/a.mp4");
  show.started = true;
  show.saved_position = "600";
  add_row(show);
  add_row({.start = "10:30:00", .end = "11:00:00", .show_start = true, .show_end = true});
  add_row({.start = "11:30:00", .end = "12:00:00", .show_start = true, .show_end = true});
  open_playlist();
  Player& p = player(at(10, 10, 30));
  p.state.settings.StartTolerance = 60;
  // Another procedure deletes the row after the interrupted one while the scan yields on it (the
  // first yield is the search's, on the interrupted row).
  runtime_->post([this] { runtime_->post([this] { data_->rsplaylist.delete_current(); }); });
  Is_Terminated(p);
  ASSERT_EQ(p.state.recovery.Terminated, kTrue);
  EXPECT_EQ(p.state.recovery.NextShowStart, at(11, 30));
  EXPECT_DOUBLE_EQ(p.state.recovery.GapToNextShow, 3600.0);
  EXPECT_EQ(logged_errors(), std::vector<std::int32_t>{err::kBofOrEof});
}

using Activation = sim::SimDesktop::Activation;

class WindowOrderTest : public PlayerFixture {
 protected:
  // Opens the three windows bottom to top in the given order (video, designer, player by
  // default names) and tells the player their handles.
  void open_windows(const std::vector<QString>& bottom_to_top) {
    for (const QString& title : bottom_to_top) {
      const auto handle = desktop_->open_window(title, kStart, Activation::kNoActivate);
      (title == "video"      ? player_->state.windows.VideoHwnd
       : title == "designer" ? globals_.DesignerHwnd
                             : player_->state.windows.PlayerHwnd) = handle;
    }
    player_->state.row.PictureTop = 60;
    player_->state.row.PictureHeight = 480;
  }
  QRect geometry(ports::WindowHandle handle) const { return desktop_->window(handle)->geometry; }

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
    const auto& stack = desktop_->stacking();
    EXPECT_EQ(stack.front(), s.windows.VideoHwnd);
    EXPECT_EQ(std::vector(stack.end() - 2, stack.end()),
              (std::vector{globals_.DesignerHwnd, s.windows.PlayerHwnd}));
    EXPECT_EQ(geometry(s.windows.VideoHwnd), QRect(0, 60, 800, 480));
    EXPECT_EQ(geometry(globals_.DesignerHwnd), QRect(4, 4, 792, 580));
    EXPECT_EQ(geometry(s.windows.PlayerHwnd), QRect(c.player_x, 2, 500, 350));
  }
}

}  // namespace
}  // namespace vantora::testing
