#include "core/scheduler/termination_check.h"

#include "support/player_fixture.h"

namespace vantora::testing {
namespace {

class TerminationCheckTest : public PlayerFixture {
 protected:
  // The show interrupted at 10:10 (600 s into a segment that started at 10:00 at offset 0).
  static PlaylistRow interrupted_row() {
    PlaylistRow row{.start = "10:00:00", .end = "10:30:00", .file = "/media/a.mp4"};
    row.show_start = true;
    row.started = true;
    row.saved_position = QStringLiteral("600");
    return row;
  }
};

// A row whose show_start flag cannot be read is no show start: counting it as one measured the
// gap to a start that was never read and gave up a show that had room to finish.
TEST_F(TerminationCheckTest, AnUnreadableRowIsNotTheNextShow) {
  PlaylistRow show = interrupted_row();
  show.show_end = true;
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

}  // namespace
}  // namespace vantora::testing
