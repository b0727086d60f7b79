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

}  // namespace
}  // namespace vantora::testing
