#include "core/media/run_movie.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/errors.h"
#include "core/media/clip_end.h"
#include "core/media/interrupted_programme.h"
#include "support/player_fixture.h"

namespace vantora::testing {
namespace {

// What the scenarios cannot arrange: the mode flags at odds, a closed recordset, a clip that is
// not media over one that plays.
class RunMovieTest : public PlayerFixture {
 protected:
  void SetUp() override {
    PlayerFixture::SetUp();
    manifest_.add("/m/movie.mp4", 95.7);
    manifest_.add("/m/filler.mp4", 30.5);
    manifest_.add("/m/news.mp4", 20.0);
    tool_exec("INSERT INTO playlist (file_name, started) VALUES ('/m/movie.mp4', 0)");
    ASSERT_NO_THROW(data_->rsplaylist.open());
    ASSERT_NO_THROW(data_->rsNews.open());
    start_player(at(11, 0));  // the engine reads the manifest as it is made
    state().row.MediaFile = "/m/movie.mp4";
    state().filler.ClipFile = "/m/filler.mp4";
    state().news.NewsClip = "/m/news.mp4";
  }

  ports::MediaPosition& position() { return *state().graph.m_objMediaPosition; }
};

// The scenarios play each mode's file; here the news wins over filler mode at odds with it, and
// the clip's length and the pointer are checked.
TEST_F(RunMovieTest, NewsWinsOverFillerTheLengthIsShownAndThePointerLeaves) {
  state().news.NewsRunning = kTrue;
  state().filler.FillerMode = kTrue;
  state().row.StartOffset = 30;
  state().row.PictureTop = 50;
  desktop_->SetCursorPos(300, 300);
  Run_Movie(*player_);
  EXPECT_EQ(state().graph.ClipPlaying, kTrue);
  EXPECT_EQ(position().Duration(), 20.0);
  EXPECT_EQ(position().CurrentPosition(), 0.0);
  EXPECT_EQ(state().graph.m_objVideoWindow->Top(), 0);
  EXPECT_EQ(desktop_->cursor(), QPoint(0, 0));
  EXPECT_EQ(player_->form.Text2.Text.get(), "20");
  EXPECT_TRUE(logged_.empty());
}

// A file that is not media stops everything without a line; any other error is logged once and
// the clip plays all the same.
TEST_F(RunMovieTest, ANonMediaFileStopsEverythingOtherErrorsOnlyCostALine) {
  Run_Movie(*player_);
  const auto old_events = state().graph.m_objMediaEvent;
  tool_exec("UPDATE playlist SET started = 0");
  data_->rsplaylist.requery();
  state().row.MediaFile = "/m/readme.txt";
  Run_Movie(*player_);
  EXPECT_EQ(state().graph.ClipPlaying, kFalse);
  EXPECT_TRUE(logged_.empty());
  EXPECT_EQ(old_events->WaitForCompletion(0), ports::Completion::kTimedOut)
      << "the old file plays on";
  EXPECT_EQ(tool_value("SELECT started FROM playlist").toInt(), 0);

  state().row.MediaFile = "/m/movie.mp4";
  data_->rsplaylist.close();
  Run_Movie(*player_);
  EXPECT_EQ(state().graph.ClipPlaying, kTrue);
  EXPECT_EQ(logged_errors(), std::vector<std::int32_t>{err::kOperationNotAllowedClosed});
}

// Movies and fillers look ahead for the next news item, an advertisement does not; a clip with
// nothing ahead disarms the timer armed for an item now past.
TEST_F(RunMovieTest, ArmsTheNewsTimerForMoviesAndFillersOnly) {
  tool_exec(QStringLiteral("INSERT INTO News (news_time, folder_path) VALUES ('12:00:00', '%1')")
                .arg(news_folder("noon", {"a.mp4"})));
  data_->rsNews.requery();
  auto& timer = player_->form.NewsTimer.Enabled;
  state().breaks.AdPlaying = kTrue;
  Run_Movie(*player_);
  EXPECT_FALSE(timer.get());
  state().breaks.AdPlaying = kFalse;
  state().filler.FillerMode = kTrue;
  Run_Movie(*player_);
  EXPECT_TRUE(timer.get());
  runtime_->run_for_ms(2 * 3600 * 1000);
  Run_Movie(*player_);
  EXPECT_FALSE(timer.get());
}

// The end-of-clip poll the ad and news timers share: a clip still playing stays playing (a poll
// that cleared it would start the next item over it); a clip at its end clears ClipPlaying; no
// graph at all is an error.
TEST_F(RunMovieTest, ClipEndPollClearsClipPlayingOnlyAtTheEnd) {
  Run_Movie(*player_);
  MediaGraphRefs& graph = state().graph;
  runtime_->run_for_ms(95'000);
  EXPECT_FALSE(Poll_Clip_End(graph));
  EXPECT_EQ(graph.ClipPlaying, kTrue);
  runtime_->run_for_ms(1'000);
  EXPECT_TRUE(Poll_Clip_End(graph));
  EXPECT_EQ(graph.ClipPlaying, kFalse);
  graph.m_objMediaEvent.reset();
  EXPECT_THROW(Poll_Clip_End(graph), RuntimeError);
}

class InterruptedProgrammeTest : public PlayerFixture {};

// Saved, overwritten as a break item would, restored: the programme comes back and resumes ten
// seconds early, filler restarts.
TEST_F(InterruptedProgrammeTest, ProgrammeComesBackTenSecondsEarlyAndFillerFromTheStart) {
  struct Case {
    const char* name;
    bool filler;
    bool have_graph;
    double position_s;
    int start_offset_after;
    std::vector<std::int32_t> errors;
  };
  const Case cases[] = {
      {"movie at 125.4 s", false, true, 125.4, 115, {}},
      {"movie at 8 s", false, true, 8.0, 0, {}},
      {"movie at exactly 10 s", false, true, 10.0, 0, {}},
      {"10.5 s rounds to even", false, true, 20.5, 10, {}},
      {"filler never reads the position", true, false, 300.0, 0, {}},
      // The unreadable position leaves the offset saved before (here the first save's 40).
      {"movie without a graph", false, false, 0.0, 40, {err::kObjectVariableNotSet}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Player& p = player(at(14, 0));
    PlayerState& s = p.state;
    Procedure proc(p.errors, "Test()");
    position_->position_s = 50.0;
    Save_Programme(p, proc);

    // What the break overwrites and the restore brings back.
    const auto programme = [&s] {
      return std::tie(s.row.MediaFile, s.filler.ClipFile, s.row.PictureTop, s.row.PictureHeight,
                      s.row.EndOffset, s.filler.FillerLength);
    };
    const auto saved = std::tuple("/m/movie.mp4", "/m/filler.mp4", 40, 480, 1800, 95);
    programme() = saved;
    s.filler.FillerMode = to_bool16(c.filler);
    position_->position_s = c.position_s;
    if (!c.have_graph) {
      s.graph.m_objMediaPosition.reset();
    }
    p.form.Logo.Visible = true;
    p.form.T_Time.Visible = false;
    p.form.T_Number.Visible = false;
    Save_Programme(p, proc);

    // The break item and its hidden overlays.
    programme() = std::tuple("/ads/a.mp4", "/ads/a.mp4", 0, 600, 30, 30);
    s.row.StartOffset = 0;
    p.form.Logo.Visible = false;
    Restore_Programme(p, proc);

    EXPECT_EQ(programme(), saved);
    EXPECT_EQ(s.row.StartOffset, c.start_offset_after);
    EXPECT_TRUE(p.form.Logo.Visible);
    EXPECT_FALSE(p.form.T_Time.Visible) << "hidden before, hidden after";
    EXPECT_FALSE(p.form.WnW.Visible);
    EXPECT_EQ(logged_errors(), c.errors);
    logged_.clear();
  }
}

}  // namespace
}  // namespace vantora::testing
