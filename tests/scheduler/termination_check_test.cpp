#include "core/scheduler/termination_check.h"

#include "support/player_fixture.h"

namespace vantora::testing {
namespace {

class TerminationCheckTest : public PlayerFixture {
 protected:
  Player& check_at(DateTime now, int start_tolerance_s = 60) {
    open_playlist();
    Player& p = player(now);
    p.state.settings.StartTolerance = start_tolerance_s;
    Is_Terminated(p);
    return p;
  }

  // The show interrupted at 10:10 (600 s into a segment that started at 10:00 at offset 0).
  static PlaylistRow interrupted_row() {
    PlaylistRow row{.start = "10:00:00", .end = "10:30:00", .file = "/media/a.mp4"};
    row.show_start = true;
    row.started = true;
    row.saved_position = QStringLiteral("600");
    return row;
  }
};

TEST_F(TerminationCheckTest, CandidateRulesByRow) {
  struct Case {
    const char* name;
    int end_offset;
    const char* saved_position;
    bool started;
    DateTime now;
    bool terminated;
  };
  const Case cases[] = {
      {"stopped well before its end", 1800, "600", true, at(10, 10, 30), true},
      {"5 s before its end counts as played", 605, "600", true, at(10, 10, 30), false},
      {"6 s before its end is interrupted", 606, "600", true, at(10, 10, 30), true},
      {"never started", 1800, "600", false, at(10, 10, 30), false},
      {"no saved position", 1800, "NULL", true, at(10, 10, 30), false},
      {"saved point plus tolerance reached exactly", 1800, "600", true, at(10, 11, 0), true},
      {"one second past it", 1800, "600", true, at(10, 11, 1), false},
      {"clock set back before the row", 1800, "600", true, at(9, 59, 0), false},
      {"clock exactly at the row's start", 1800, "600", true, at(10, 0, 0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tool_exec(QStringLiteral("DELETE FROM playlist"));
    PlaylistRow row = interrupted_row();
    row.end_offset = c.end_offset;
    row.saved_position = QString::fromLatin1(c.saved_position);
    row.started = c.started;
    add_row(row);
    Player& p = check_at(c.now);
    EXPECT_EQ(p.state.recovery.Terminated, to_bool16(c.terminated));
    EXPECT_EQ(data_->rsplaylist.eof(), !c.terminated);
    data_->rsplaylist.close();
  }
}

TEST_F(TerminationCheckTest, LoadsTheInterruptedRowWithTheResumeOffset) {
  PlaylistRow row = interrupted_row();
  row.saved_position = QStringLiteral("600.5");  // + 5 = 605.5, halves go to the even 606
  row.start_offset = 120;  // 480.5 s played by the saved point
  row.picture_height = 0;
  row.picture_top = 40;
  add_row(row);
  Player& p = check_at(at(10, 8, 30));
  ASSERT_EQ(p.state.recovery.Terminated, kTrue);
  EXPECT_EQ(p.state.row.MediaFile, "/media/a.mp4");
  EXPECT_EQ(p.state.row.StartOffset, 606);
  EXPECT_EQ(p.state.row.EndOffset, 1800);
  EXPECT_EQ(p.state.row.PictureTop, 40);
  EXPECT_EQ(p.state.row.PictureHeight, 0);  // no substitution of 600 here
  EXPECT_EQ(p.state.row.ShowStartRow, kTrue);
  EXPECT_EQ(p.state.row.SegStart, at(10, 0));
  // The resume point is 486 s into the segment, due at 10:08:06.
  EXPECT_DOUBLE_EQ(p.state.recovery.ResumeLag, 510.0 - (606.0 - 120.0));
}

TEST_F(TerminationCheckTest, FirstCandidateMeetingTheTimeTestsIsTaken) {
  PlaylistRow stale = interrupted_row();
  stale.start = "08:00:00";
  stale.end = "08:30:00";
  stale.file = "/media/stale.mp4";
  add_row(stale);  // a candidate, but far past its window
  PlaylistRow first = interrupted_row();
  first.file = "/media/first.mp4";
  add_row(first);
  PlaylistRow second = interrupted_row();
  second.start = "10:05:00";
  second.file = "/media/second.mp4";
  add_row(second);
  Player& p = check_at(at(10, 10, 30));
  ASSERT_EQ(p.state.recovery.Terminated, kTrue);
  EXPECT_EQ(p.state.row.MediaFile, "/media/first.mp4");
  EXPECT_EQ(data_->rsplaylist.field(2).toString(), "/media/first.mp4");
}

TEST_F(TerminationCheckTest, MeasuresTheGapToTheNextShow) {
  struct Case {
    const char* name;
    bool interrupted_ends_show;
    bool later_show_end;
    bool next_show;
    double gap_s;
    DateTime show_end_time;
  };
  const Case cases[] = {
      {"show end row later, next show after it", false, true, true, 1800.0, at(11, 0)},
      {"a one-row show ends on its own row", true, false, true, 3600.0, at(10, 30)},
      {"no later show", false, true, false, 9999.0, at(11, 0)},
      // Without a show end in between the end stays the zero date of a fresh form.
      {"no show end in between", false, false, true,
       static_cast<double>(date_time::to_linear_ms(at(11, 30))) / 1000.0, DateTime()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tool_exec(QStringLiteral("DELETE FROM playlist"));
    PlaylistRow show = interrupted_row();
    show.show_end = c.interrupted_ends_show;
    add_row(show);
    add_row({.start = "10:30:00",
             .end = "11:00:00",
             .start_offset = 1800,
             .end_offset = 3600,
             .show_end = c.later_show_end});
    if (c.next_show) {
      add_row({.start = "11:30:00", .end = "12:00:00", .show_start = true, .show_end = true});
    }
    Player& p = check_at(at(10, 10, 30));
    ASSERT_EQ(p.state.recovery.Terminated, kTrue);
    EXPECT_DOUBLE_EQ(p.state.recovery.GapToNextShow, c.gap_s);
    EXPECT_EQ(p.state.recovery.ShowEndTime, c.show_end_time);
    if (c.next_show) {
      EXPECT_EQ(p.state.recovery.NextShowStart, at(11, 30));
    }
    // The cursor is back on the interrupted row.
    EXPECT_EQ(values::to_date_time(data_->rsplaylist.field(0)), at(10, 0));
    data_->rsplaylist.close();
  }
}

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
