#include "core/scheduler/playlist_cursor.h"

#include <gtest/gtest.h>

#include "support/player_fixture.h"

namespace vantora {
namespace {

using testing::PlayerFixture;

class PlaylistCursorTest : public PlayerFixture {
 protected:
  // A one-segment show.
  void add_show(DateTime start, bool completed = false) {
    add_segment(Segment{start, date_time::add_seconds(start, 1800), "/media/show.mpg", true, true,
                        completed});
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
  add_segment(Segment{at(10, 0), at(10, 30), "/media/a.mpg", true, false, false, 0});
  add_segment(Segment{at(10, 30), at(11, 0), "/media/b.mpg", false, true, false, 300});
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
  // Now is 10:00:00 and shows may start 60 s late.
  struct Case {
    const char* name;
    std::vector<std::pair<DateTime, bool>> shows;  // start, completed
    bool found;
    DateTime expected_start;
  };
  const Case cases[] = {
      {"the first row is examined", {{at(10, 0), false}, {at(11, 0), false}}, true, at(10, 0)},
      {"start plus tolerance exactly now", {{at(9, 59), false}}, true, at(9, 59)},
      {"one second too late", {{at(9, 58, 59), false}}, false, {}},
      {"completed show is never found again",
       {{at(9, 59, 30), true}, {at(12, 0), false}},
       true,
       at(12, 0)},
      {"only completed shows", {{at(10, 30), true}}, false, {}},
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
  add_segment(Segment{at(8, 0), at(8, 30), "/media/a.mpg", true, false});
  add_segment(Segment{at(8, 30), at(9, 0), "/media/b.mpg", false, true});
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
}  // namespace vantora
