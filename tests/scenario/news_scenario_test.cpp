#include "core/media/movie_segment.h"
#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// A daily news item over the running programme: the clips of its folder in list order, then the
// programme back.
class NewsScenario : public DayScenario {
 protected:
  // A folder of 20-second clips.
  QString news_item(const char* time, const QStringList& clips) {
    const QString folder = filler_folder(QStringLiteral("news"), clips, 20);
    tool_exec(QStringLiteral("INSERT INTO News (news_name, news_time, folder_path) "
                             "VALUES ('daily', '%1', '%2')")
                  .arg(QLatin1String(time), folder));
    return folder;
  }
};

// Found at 23:50 by the look-ahead's second pass, past midnight: held until 00:05 the next day.
TEST_F(NewsScenario, AnItemPastMidnightWaitsForItsTimeTheNextDay) {
  filler_folder(QStringLiteral("filler"), {QStringLiteral("late.mp4")}, 1200);
  news_item("00:05:00", {QStringLiteral("a.mp4")});
  simulation(at(23, 49, 40)).runtime().run_for_ms(17 * 60'000);

  const std::vector<TracedEvent> news = media_events("news");
  ASSERT_EQ(news.size(), 1U);
  EXPECT_GE(news[0].at, monday(0, 5, 0));
  EXPECT_LT(news[0].at, monday(0, 5, 1));
}

// Due while a break plays, the item waits for the break's end and then interrupts the resumed
// movie; started at once it would have saved the ad over the movie the break keeps.
TEST_F(NewsScenario, AnItemDueDuringABreakWaitsForTheBreakToEnd) {
  add_row(one_row_show("10:00:00", "10:30:00", "/media/feature.mp4"));
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f.mp4")}, 600);
  news_item("10:02:00", {QStringLiteral("a.mp4")});
  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_for_ms(138'000);  // 10:01:58
  Player& p = player();
  p.state.breaks.InAdBreak = kTrue;  // as the break's first item sets it
  sim.runtime().run_for_ms(30'000);
  EXPECT_TRUE(media_events("news").empty());

  p.state.breaks.InAdBreak = kFalse;  // the break ends and gives the movie back
  Run_MovieFile(p);
  sim.runtime().run_for_ms(60'000);
  const std::vector<TracedEvent> news = media_events("news");
  const std::vector<TracedEvent> movie = media_events("normal");
  ASSERT_EQ(news.size(), 1U);
  ASSERT_EQ(movie.size(), 3U);
  EXPECT_LT(movie[1].at, news[0].at);
  EXPECT_LT(news[0].at, movie[2].at);
}

}  // namespace
}  // namespace vantora::testing
