#include "core/scheduler/playlist_cursor.h"

#include <gtest/gtest.h>

#include "support/player_fixture.h"

namespace vantora::testing {
namespace {

class PlaylistCursorTest : public PlayerFixture {
 protected:
  // A one-segment show starting at "HH:MM:SS".
  void add_show(const char* start, bool completed) {
    PlaylistRow row = one_row_show(start, "23:00:00", "/media/show.mpg");
    row.completed = completed;
    add_row(row);
  }
  DateTime cursor_row_start() { return values::to_date_time(data_->rsplaylist.field(0)); }
};

TEST_F(PlaylistCursorTest, EmptyPlaylistEndsAtOnceAndHasNoNextShow) {
  reopen();
  player_->state.cursor.RewindList = kTrue;
  Get_Next_Segment(*player_);
  EXPECT_EQ(player_->state.cursor.EndOfList, kTrue);

  player_->state.cursor.NoNextShow = kFalse;
  Get_Next_Slot(*player_);
  EXPECT_EQ(player_->state.cursor.NoNextShow, kTrue);
  EXPECT_EQ(player_->state.cursor.EndOfList, kTrue);
}

TEST_F(PlaylistCursorTest, StepsThroughRowsAndKeepsTheLastRowAtTheEnd) {
  add_row({.start = "10:00:00", .end = "10:30:00", .file = "/media/a.mpg", .show_start = true});
  add_row({.start = "10:30:00",
           .end = "11:00:00",
           .file = "/media/b.mpg",
           .show_end = true,
           .picture_height = 300});
  reopen();
  PlayerState& s = player_->state;
  s.cursor.RewindList = kTrue;
  Get_Next_Segment(*player_);
  EXPECT_EQ(s.cursor.RewindList, kFalse);
  EXPECT_EQ(s.row.MediaFile, "/media/a.mpg");
  EXPECT_EQ(s.row.PictureHeight, 600);  // 0 plays full height
  EXPECT_EQ(s.row.ShowStartRow, kTrue);
  EXPECT_EQ(s.row.ShowEndRow, kFalse);

  Get_Next_Segment(*player_);
  EXPECT_EQ(s.row.MediaFile, "/media/b.mpg");
  EXPECT_EQ(s.row.SegStart, at(10, 30));
  EXPECT_EQ(s.row.PictureHeight, 300);
  EXPECT_EQ(s.cursor.EndOfList, kFalse);

  Get_Next_Segment(*player_);
  EXPECT_EQ(s.cursor.EndOfList, kTrue);
  EXPECT_EQ(s.row.MediaFile, "/media/b.mpg");
}

TEST_F(PlaylistCursorTest, NextShowIsTheFirstOpenUncompletedShowStart) {
  // Now is 10:00:00 and shows may start 60 s late; the scenarios cover the window's edges.
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, bool>> shows;  // start, completed
    bool found;
    DateTime expected_start;
  };
  const Case cases[] = {
      {"the first row is examined", {{"10:00:00", false}, {"11:00:00", false}}, true, at(10, 0)},
      {"completed show is never found again",
       {{"09:59:30", true}, {"12:00:00", false}},
       true,
       at(12, 0)},
      {"only completed shows", {{"10:30:00", true}}, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_tables();
    for (const auto& [start, completed] : c.shows) {
      add_show(start, completed);
    }
    reopen();
    player_->state.settings.StartTolerance = 60;
    Get_Next_Slot(*player_);
    EXPECT_EQ(player_->state.cursor.NoNextShow, to_bool16(!c.found));
    if (c.found) {
      EXPECT_EQ(player_->state.row.SegStart, c.expected_start);
      EXPECT_EQ(cursor_row_start(), c.expected_start);
      EXPECT_EQ(player_->state.cursor.EndOfList, kFalse);
    }
  }
}

TEST_F(PlaylistCursorTest, NothingFoundPutsTheCursorBackAndYieldsInTheScan) {
  add_row({.start = "08:00:00", .end = "08:30:00", .show_start = true});
  add_row({.start = "08:30:00", .end = "09:00:00", .show_end = true});
  reopen();
  player_->state.cursor.RewindList = kTrue;
  Get_Next_Segment(*player_);
  Get_Next_Segment(*player_);
  ASSERT_EQ(cursor_row_start(), at(8, 30));

  int ticks_seen = 0;
  runtime_->post([&] { ++ticks_seen; });
  Get_Next_Slot(*player_);
  EXPECT_EQ(ticks_seen, 1);
  EXPECT_EQ(player_->state.cursor.NoNextShow, kTrue);
  EXPECT_EQ(player_->state.cursor.EndOfList, kTrue);
  EXPECT_EQ(cursor_row_start(), at(8, 30));
}

}  // namespace
}  // namespace vantora::testing
