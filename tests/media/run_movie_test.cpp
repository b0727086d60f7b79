#include "core/media/run_movie.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "core/media/clip_end.h"
#include "support/player_fixture.h"

namespace vantora {
namespace {

class RunMovieTest : public testing::PlayerFixture {
 protected:
  void SetUp() override {
    PlayerFixture::SetUp();
    manifest_.add(QStringLiteral("/m/movie.mp4"), 95.7);
    manifest_.add(QStringLiteral("/m/filler.mp4"), 30.5);
    manifest_.add(QStringLiteral("/m/news.mp4"), 20.0);
    tool_exec(
        QStringLiteral("INSERT INTO playlist (file_name, started) VALUES ('/m/movie.mp4', 0)"));
    ASSERT_NO_THROW(data_->rsplaylist.open());
    ASSERT_NO_THROW(data_->rsNews.open());
    start_player(date_time::from_parts(2026, 12, 6, 11, 0, 0));
    state().row.MediaFile = QStringLiteral("/m/movie.mp4");
    state().filler.ClipFile = QStringLiteral("/m/filler.mp4");
    state().news.NewsClip = QStringLiteral("/m/news.mp4");
  }

  ports::VideoWindow& window() { return *state().graph.m_objVideoWindow; }
  ports::MediaPosition& position() { return *state().graph.m_objMediaPosition; }
  bool playlist_row_started() {
    return tool_value(QStringLiteral("SELECT started FROM playlist")).toInt() != 0;
  }
};

TEST_F(RunMovieTest, PlaysTheFileOfTheModeWhoseFlagWinsAndPlacesItsWindow) {
  const struct {
    const char* what;
    Bool16 news_running, filler_mode;
    std::int16_t picture_top, picture_height;
    std::int32_t start_offset;
    double duration_s;
    int top, height;
    double position_s;
    std::int16_t picture_height_after;
    bool row_started;
  } cases[] = {
      {"news wins over filler", kTrue, kTrue, 50, 400, 30, 20.0, 0, 600, 0.0, 400, false},
      {"filler", kFalse, kTrue, 50, 400, 30, 30.5, 0, 600, 0.0, 600, false},
      {"normal", kFalse, kFalse, 50, 400, 30, 95.7, 50, 400, 30.0, 400, true},
      {"normal without a height", kFalse, kFalse, 50, 0, 0, 95.7, 50, 600, 0.0, 600, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tool_exec(QStringLiteral("UPDATE playlist SET started = 0"));
    data_->rsplaylist.requery();
    desktop_->SetCursorPos(300, 300);
    state().news.NewsRunning = c.news_running;
    state().filler.FillerMode = c.filler_mode;
    state().row.PictureTop = c.picture_top;
    state().row.PictureHeight = c.picture_height;
    state().row.StartOffset = c.start_offset;
    state().graph.ClipPlaying = kFalse;
    player_->form.Text2.Text = QString();

    Run_Movie(*player_);

    EXPECT_EQ(state().graph.ClipPlaying, kTrue);
    EXPECT_EQ(position().Duration(), c.duration_s);
    EXPECT_EQ(position().CurrentPosition(), c.position_s);
    EXPECT_EQ(window().Top(), c.top);
    EXPECT_EQ(window().Height(), c.height);
    EXPECT_EQ(state().row.PictureHeight, c.picture_height_after);
    EXPECT_EQ(playlist_row_started(), c.row_started);
    EXPECT_EQ(player_->form.Text2.Text.get(), QString::number(static_cast<int>(c.duration_s)));
    EXPECT_EQ(desktop_->cursor(), QPoint(0, 0));
    EXPECT_THROW(state().graph.m_objMediaEvent->WaitForCompletion(0), RuntimeError) << "playing";
  }
  EXPECT_TRUE(logged_.empty());
  EXPECT_EQ(state().filler.FillerLength, 30) << "30.5 rounds to even";
}

TEST_F(RunMovieTest, AllSixReferencesMoveToTheNewGraphAndTheOldOneStops) {
  Run_Movie(*player_);
  const auto old_events = state().graph.m_objMediaEvent;
  state().row.MediaFile = QStringLiteral("/m/news.mp4");
  Run_Movie(*player_);
  EXPECT_NE(state().graph.m_objMediaEvent, old_events);
  EXPECT_EQ(dynamic_cast<ports::MediaGraph*>(state().graph.m_objMediaControl.get()),
            dynamic_cast<ports::MediaGraph*>(state().graph.m_objMediaEvent.get()));
  EXPECT_EQ(position().Duration(), 20.0);
  EXPECT_THROW(old_events->WaitForCompletion(0), RuntimeError) << "the old file plays on";
}

TEST_F(RunMovieTest, FileThatIsNotMediaStopsEverythingWithoutALogLine) {
  Run_Movie(*player_);
  const auto old_events = state().graph.m_objMediaEvent;
  tool_exec(QStringLiteral("UPDATE playlist SET started = 0"));
  data_->rsplaylist.requery();
  state().row.MediaFile = QStringLiteral("/m/readme.txt");
  player_->form.Text2.Text = QStringLiteral("95");
  Run_Movie(*player_);
  EXPECT_EQ(state().graph.ClipPlaying, kFalse);
  EXPECT_TRUE(logged_.empty());
  EXPECT_THROW(old_events->WaitForCompletion(0), RuntimeError);
  EXPECT_THROW(state().graph.m_objMediaEvent->WaitForCompletion(0), RuntimeError);
  EXPECT_FALSE(playlist_row_started()) << "the steps after the render do not run";
}

TEST_F(RunMovieTest, OtherErrorsAreLoggedAndPlaybackStillStarts) {
  data_->rsplaylist.close();
  Run_Movie(*player_);
  EXPECT_EQ(state().graph.ClipPlaying, kTrue);
  EXPECT_EQ(player_->form.Text2.Text.get(), QStringLiteral("95"));
  ASSERT_EQ(logged_.size(), 1u) << "a repeated number is written once";
  EXPECT_EQ(logged_[0].number, err::kOperationNotAllowedClosed);
  EXPECT_EQ(logged_[0].procedure, QStringLiteral("Run_Movie()"));
}

TEST_F(RunMovieTest, ArmsTheNewsTimerForMoviesAndFillersOnlyAndDisarmsWhenNothingIsAhead) {
  news_folder(QStringLiteral("noon"), {QStringLiteral("a.mp4")});
  tool_exec(QStringLiteral("INSERT INTO News (news_time, folder_path) VALUES ('12:00:00', '%1')")
                .arg(folder_.filePath(QStringLiteral("noon"))));
  data_->rsNews.requery();
  auto& timer = player_->form.NewsTimer.Enabled;

  state().breaks.AdPlaying = kTrue;
  Run_Movie(*player_);
  EXPECT_FALSE(timer.get()) << "an advertisement does not look ahead";
  EXPECT_EQ(state().news.NewsFound, kFalse);

  state().breaks.AdPlaying = kFalse;
  state().filler.FillerMode = kTrue;
  Run_Movie(*player_);
  EXPECT_TRUE(timer.get());
  EXPECT_EQ(state().news.NewsFolder, folder_.filePath(QStringLiteral("noon")));

  // Past the item, the next clip finds nothing: the timer armed for it is disarmed.
  runtime_->run_for_ms(2 * 3600 * 1000);
  state().filler.FillerMode = kFalse;
  Run_Movie(*player_);
  EXPECT_EQ(state().news.NewsFound, kFalse);
  EXPECT_FALSE(timer.get());
  EXPECT_TRUE(logged_.empty());
}

// The end-of-clip poll the ad and news timers share: a clip still playing raises the timeout and
// stays playing; a clip at its end clears ClipPlaying; no graph at all is error 91.
TEST_F(RunMovieTest, ClipEndPollClearsClipPlayingOnlyAtTheEnd) {
  Run_Movie(*player_);
  MediaGraphRefs& graph = state().graph;
  runtime_->run_for_ms(95'000);
  EXPECT_THROW(Poll_Clip_End(graph), RuntimeError);
  EXPECT_EQ(graph.ClipPlaying, kTrue);
  runtime_->run_for_ms(1'000);
  EXPECT_TRUE(Poll_Clip_End(graph));
  EXPECT_EQ(graph.ClipPlaying, kFalse);
  graph.m_objMediaEvent.reset();
  EXPECT_THROW(Poll_Clip_End(graph), RuntimeError);
}

}  // namespace
}  // namespace vantora
