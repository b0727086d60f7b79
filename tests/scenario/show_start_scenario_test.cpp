#include <cmath>
#include <limits>

#include "core/media/movie_segment.h"
#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// A Sunday; the program starts, launches the designer and loads the player window, whose Timer2
// starts the day 34 s after the start and the first picture follows some 2.5 s later.
constexpr int kDayStartS = 34;

TEST_F(DayScenario, InsideAShowsStartWindowTheShowStartsNormally) {
  PlaylistRow row = one_row_show("10:00:00", "10:30:00", "/media/feature.mp4");
  row.start_offset = 120;
  row.picture_top = 50;
  row.picture_height = 500;
  add_row(row);
  tool_exec(QStringLiteral("DELETE FROM Wizard_INI"));
  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_for_ms(60'000);

  const std::vector<TracedEvent> movies = media_events("normal");
  ASSERT_EQ(movies.size(), 1U);
  EXPECT_EQ(movies[0].text("file"), "/media/feature.mp4");
  EXPECT_EQ(movies[0].number("start"), 120.0);
  EXPECT_EQ(movies[0].number("top"), 50.0);
  EXPECT_EQ(movies[0].number("height"), 500.0);
  const double picture_s = seconds_after_start(movies[0].at);
  EXPECT_GT(picture_s, kDayStartS);
  EXPECT_LT(picture_s, kDayStartS + 5);

  EXPECT_EQ(text3(), (std::vector<std::string>{"Normal", "Movie"}));
  EXPECT_NE(tool_value(QStringLiteral("SELECT started FROM playlist")).toInt(), 0);
  // An empty Wizard_INI gets its one row, the counter written with its sign blank.
  EXPECT_EQ(tool_value(QStringLiteral("SELECT lottery_counter FROM Wizard_INI")).toString(), " 0");
  Player& p = player();
  EXPECT_TRUE(p.form.T_Movie.Enabled);
  EXPECT_TRUE(p.form.AdTimer.Enabled);
  EXPECT_FALSE(p.form.FillerTimer.Enabled);
  EXPECT_TRUE(p.form.LogoTimer.Enabled);  // logo_file "NO"
  EXPECT_EQ(p.state.settings.StartTolerance, 60);
  EXPECT_TRUE(events("error").empty());
}

TEST_F(DayScenario, AShowWhoseEndHasPassedIsNeverStartedNormally) {
  add_row(one_row_show("10:00:00", "10:00:20", "/media/short.mp4"));
  sim::Simulation& sim = simulation(at(10, 0, 0));  // the day starts at 10:00:34, in tolerance
  sim.runtime().run_for_ms(45'000);
  const std::vector<std::string> texts = text3();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.front(), "UnIntrupted");
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Normal"), 0);
}

TEST_F(DayScenario, BetweenShowsFillerPlaysFromTheRightFolderUntilTheShow) {
  add_row(one_row_show("09:00:00", "09:30:00", "/media/morning.mp4"));
  add_row(one_row_show("10:03:00", "10:33:00", "/media/next.mp4"));
  const QString sunday = filler_folder(QStringLiteral("sunday"),
                                       {QStringLiteral("s1.mp4"), QStringLiteral("s2.mp4")}, 400);
  const QString any_day = filler_folder(QStringLiteral("any"), {QStringLiteral("a1.mp4")}, 400);
  add_filler_row(any_day, QStringLiteral("06:00:00"), QStringLiteral("12:00:00"), 0);
  add_filler_row(sunday, QStringLiteral("07:00:00"), QStringLiteral("12:00:00"), 1);
  tool_exec(QStringLiteral("UPDATE Wizard_INI SET lottery_counter = '3'"));
  sim::Simulation& sim = simulation(at(10, 0, 0));
  sim.runtime().run_until(at(10, 4, 0));

  const std::vector<TracedEvent> fillers = media_events("filler");
  ASSERT_FALSE(fillers.empty());
  for (const TracedEvent& filler : fillers) {
    EXPECT_TRUE(QString::fromStdString(filler.text("file")).startsWith(sunday + u'/'))
        << filler.text("file");
  }
  const std::vector<TracedEvent> movies = media_events("normal");
  ASSERT_EQ(movies.size(), 1U);
  EXPECT_EQ(movies[0].text("file"), "/media/next.mp4");
  // The first filler tick at or after the show's start: within one 500 ms interval of it.
  const double late_s = seconds_after_start(movies[0].at) - seconds_after_start(at(10, 3, 0));
  EXPECT_GE(late_s, 0.0);
  EXPECT_LT(late_s, 0.5);
  const std::vector<std::string> texts = text3();
  ASSERT_GE(texts.size(), 3U);
  EXPECT_EQ(texts[0], "UnIntrupted");
  EXPECT_EQ(texts.back(), "Movie");
  EXPECT_EQ(tool_value(QStringLiteral("SELECT lottery_counter FROM Wizard_INI")).toString(), "0");
}

struct Recovery {
  const char* name;
  const char* next_show;  // a next show before the interrupted show's end leaves no room
  const char* outcome;
  const char* first_media_mode;
  double resume_s;
};

class RecoveryScenario : public DayScenario, public ::testing::WithParamInterface<Recovery> {};

TEST_P(RecoveryScenario, AnInterruptedShowIsResumedOrGivenUp) {
  const Recovery& c = GetParam();
  PlaylistRow first{.start = "10:00:00", .end = "10:15:00", .file = "/media/feature.mp4"};
  first.show_start = true;
  first.started = true;
  first.saved_position = QStringLiteral("600");
  add_row(first);
  PlaylistRow second{.start = "10:15:00", .end = "10:30:00", .file = "/media/feature.mp4"};
  second.start_offset = 900;
  second.show_end = true;
  add_row(second);
  add_row(one_row_show(c.next_show, "11:30:00", "/media/next.mp4"));
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f1.mp4")}, 900);

  // The day starts at 10:10:34: 600 s into the show plus the 60 s tolerance is 10:11:00.
  sim::Simulation& sim = simulation(at(10, 10, 0));
  sim.runtime().run_for_ms(45'000);

  const std::vector<std::string> texts = text3();
  EXPECT_NE(std::find(texts.begin(), texts.end(), c.outcome), texts.end());
  const std::vector<TracedEvent> all = events("media");
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all[0].text("mode"), c.first_media_mode);
  if (c.resume_s >= 0) {
    EXPECT_EQ(all[0].text("file"), "/media/feature.mp4");
    EXPECT_EQ(all[0].number("start"), c.resume_s);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, RecoveryScenario,
    ::testing::Values(Recovery{"resumed", "11:00:00", "Intrupted", "normal", 605.0},
                      Recovery{"no_room_left", "10:20:00", "UnRecoverable", "filler", -1.0}),
    [](const ::testing::TestParamInfo<Recovery>& test) { return std::string(test.param.name); });

// The second part of a split movie began at 10:15 from 900 s into the file and stopped at 1000 s:
// it had played 100 s. Judged by that, a restart at 10:16 resumes it 9 s early and one at 10:31
// finds it long overdue and starts the next show; judged by the position alone, the second would
// resume the movie some 14 minutes behind the day.
struct SplitMovie {
  const char* name;
  int restart_minute;
  const char* outcome;
  const char* first_file;
  double first_start_s;
  double resume_lag_s;  // NaN when nothing was interrupted
};

class SplitMovieRecovery : public DayScenario, public ::testing::WithParamInterface<SplitMovie> {};

TEST_P(SplitMovieRecovery, TheLatenessOfALaterSegmentIsTheTimeItHadPlayed) {
  const SplitMovie& c = GetParam();
  PlaylistRow first{.start = "10:00:00", .end = "10:15:00", .file = "/media/feature.mp4"};
  first.show_start = true;
  first.started = true;
  first.completed = true;
  first.end_offset = 900;
  first.saved_position = QStringLiteral("899.5");
  add_row(first);
  PlaylistRow second{.start = "10:15:00", .end = "10:30:00", .file = "/media/feature.mp4"};
  second.start_offset = 900;
  second.end_offset = 1800;
  second.show_end = true;
  second.started = true;
  second.saved_position = QStringLiteral("1000");
  add_row(second);
  add_row(one_row_show("10:31:00", "11:30:00", "/media/next.mp4"));
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f1.mp4")}, 900);

  sim::Simulation& sim = simulation(at(10, c.restart_minute, 0));
  sim.runtime().run_for_ms(40'000);

  const std::vector<std::string> texts = text3();
  EXPECT_NE(std::find(texts.begin(), texts.end(), c.outcome), texts.end());
  const std::vector<TracedEvent> movies = media_events("normal");
  ASSERT_FALSE(movies.empty());
  EXPECT_EQ(movies[0].text("file"), c.first_file);
  EXPECT_EQ(movies[0].number("start"), c.first_start_s);
  if (!std::isnan(c.resume_lag_s)) {
    // The decision falls some 36 s after the start (the designer's wake-up waits 1.5 s):
    // 10:16:36 against 10:15 + 105 s.
    EXPECT_NEAR(player().state.recovery.ResumeLag, c.resume_lag_s, 1.0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, SplitMovieRecovery,
    ::testing::Values(SplitMovie{"soon_after", 16, "Intrupted", "/media/feature.mp4", 1005.0, -9.0},
                      SplitMovie{"too_late", 31, "Normal", "/media/next.mp4", 0.0,
                                 std::numeric_limits<double>::quiet_NaN()}),
    [](const ::testing::TestParamInfo<SplitMovie>& test) { return std::string(test.param.name); });

TEST_F(DayScenario, AGivenUpShowMakesWayForTheNextAtItsStart) {
  PlaylistRow first{.start = "10:00:00", .end = "10:30:00", .file = "/media/feature.mp4"};
  first.show_start = true;
  first.show_end = true;
  first.started = true;
  first.saved_position = QStringLiteral("600");
  add_row(first);
  add_row(one_row_show("10:20:00", "11:30:00", "/media/next.mp4"));
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f1.mp4")}, 900);
  sim::Simulation& sim = simulation(at(10, 10, 0));
  sim.runtime().run_until(at(10, 21, 0));
  const std::vector<TracedEvent> movies = media_events("normal");
  ASSERT_EQ(movies.size(), 1U);
  EXPECT_EQ(movies[0].text("file"), "/media/next.mp4");
  EXPECT_EQ(movies[0].number("start"), 0.0);
  const double late_s = seconds_after_start(movies[0].at) - seconds_after_start(at(10, 20, 0));
  EXPECT_GE(late_s, 0.0);
  EXPECT_LT(late_s, 0.5);
}

}  // namespace
}  // namespace vantora::testing
