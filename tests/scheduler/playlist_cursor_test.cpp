#include "core/scheduler/playlist_cursor.h"

#include <gtest/gtest.h>

#include "support/player_fixture.h"

namespace vantora::testing {
namespace {

using PlaylistCursorTest = PlayerFixture;

// Now is 10:00:00 and shows may start 60 s late; the scenarios cover the window's edges. A show
// not found leaves the cursor where it stood.
TEST_F(PlaylistCursorTest, NextShowIsTheFirstOpenUncompletedShowStart) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, bool>> shows;  // start, completed
    DateTime expected_start;                          // none: no next show
  };
  const Case cases[] = {
      {"the first row is examined", {{"10:00:00", false}, {"11:00:00", false}}, at(10, 0)},
      {"a completed show is never found again",
       {{"09:59:30", true}, {"12:00:00", false}},
       at(12, 0)},
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

}  // namespace
}  // namespace vantora::testing
