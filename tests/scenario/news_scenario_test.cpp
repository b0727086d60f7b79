#include "core/media/movie_segment.h"
#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

QString name_of(const TracedEvent& e) {
  return QString::fromStdString(e.text("file")).section(u'/', -1);
}

// A daily news item over the running programme: the clips of its folder in list order, then the
// programme back.
class NewsScenario : public DayScenario {
 protected:
  // A folder of 20-second clips; the names in `bad` are files that are not media.
  QString news_item(const char* time, const QStringList& clips, const QStringList& bad = {}) {
    const QString folder = filler_folder(QStringLiteral("news"), clips, 20);
    for (const QString& name : bad) {
      QFile file(folder + u'/' + name);
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    }
    tool_exec(QStringLiteral("INSERT INTO News (news_name, news_time, folder_path) "
                             "VALUES ('daily', '%1', '%2')")
                  .arg(QLatin1String(time), folder));
    return folder;
  }

  // Runs the show from 10:00 (clock set on it) with the item at `news_time`, for four minutes.
  void run_show(int start_offset_s, const char* news_time, DateTime clock_start) {
    PlaylistRow row = one_row_show("10:00:00", "10:30:00", "/media/feature.mp4");
    row.start_offset = start_offset_s;
    row.logo_file = QStringLiteral("CLOCK");
    add_row(row);
    tool_exec(QStringLiteral("UPDATE playlist SET logo_left = 600, logo_top = 20"));
    filler_folder(QStringLiteral("filler"), {QStringLiteral("f.mp4")}, 600);
    news_item(news_time,
              {QStringLiteral("c.mp4"), QStringLiteral("A.mp4"), QStringLiteral("b.mp4")});
    simulation(clock_start).runtime().run_for_ms(4 * 60'000);
  }

  // The play position of the movie when the news began.
  double interrupted_at() {
    const std::vector<TracedEvent> movie = media_events("normal");
    const std::vector<TracedEvent> news = media_events("news");
    if (movie.empty() || news.empty()) {
      ADD_FAILURE() << "no movie or no news";
      return -1.0;
    }
    return movie[0].number("start") + seconds_after_start(news[0].at) -
           seconds_after_start(movie[0].at);
  }

  // How often the control was shown from `from` on.
  std::size_t shown_after(DateTime from, const char* name) {
    std::size_t shown = 0;
    for (const TracedEvent& e : events("control")) {
      shown += e.at >= from && e.text("name") == name && e.text("prop") == "Visible" &&
                       e.fields.value("value", false)
                   ? 1
                   : 0;
    }
    return shown;
  }

  // Three clips over a movie with the clock shown, interrupted at `interrupted_at_s`.
  void expect_news_then_movie_at(double interrupted_at_s, double resumed_at_s) {
    EXPECT_NEAR(interrupted_at(), interrupted_at_s, 0.005);
    std::vector<QString> clips;
    for (const TracedEvent& e : media_events("news")) {
      clips.push_back(name_of(e));
    }
    EXPECT_EQ(clips, (std::vector<QString>{"A.mp4", "b.mp4", "c.mp4"}));
    const std::vector<TracedEvent> movie = media_events("normal");
    ASSERT_EQ(movie.size(), 2U);
    EXPECT_EQ(movie[1].number("start"), resumed_at_s);
    EXPECT_GT(movie[1].at, media_events("news").back().at);

    const DateTime news_start = media_events("news")[0].at;
    const std::vector<std::string> texts = text3();
    ASSERT_GE(texts.size(), 2U);
    EXPECT_EQ(texts[texts.size() - 2], "News");
    EXPECT_EQ(texts.back(), "Movie");
    // The clock was on: it comes back. Logo and number were hidden: they stay hidden.
    EXPECT_EQ(shown_after(news_start, "Logo"), 0U);
    EXPECT_EQ(shown_after(news_start, "T_Number"), 0U);
    EXPECT_TRUE(player().form.T_Time.Visible);
    EXPECT_FALSE(player().form.NewsTimer.Enabled);
    // The designer is told the news has begun, once the first clip is up.
    std::size_t break_keys = 0;
    for (const TracedEvent& e : events("keys")) {
      break_keys += e.at > news_start && e.text("keys") == "P{sleep 1}P" ? 1 : 0;
    }
    EXPECT_EQ(break_keys, 1U);
    EXPECT_TRUE(events("error").empty());
  }
};

TEST_F(NewsScenario, MovieInterruptedAt125sResumesAt115AfterTheClipsInListOrder) {
  run_show(57, "10:01:25", at(9, 59, 40));
  expect_news_then_movie_at(125.4, 115);
}

TEST_F(NewsScenario, MovieInterruptedAt8sResumesAtItsStart) {
  run_show(1, "10:00:24", at(9, 59, 40));
  expect_news_then_movie_at(8.496, 0);  // Text1 shows 8
}

TEST_F(NewsScenario, ABadClipIsPassedOverAndTheProgrammeComesBack) {
  add_row(one_row_show("10:00:00", "10:30:00", "/media/feature.mp4"));
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f.mp4")}, 600);
  news_item("10:02:00", {QStringLiteral("a.mp4"), QStringLiteral("c.mp4")},
            {QStringLiteral("b.txt")});
  simulation(at(9, 59, 40)).runtime().run_for_ms(4 * 60'000);

  std::vector<std::pair<QString, bool>> clips;
  for (const TracedEvent& e : media_events("news")) {
    clips.emplace_back(name_of(e), e.fields.value("ok", false));
  }
  EXPECT_EQ(clips, (std::vector<std::pair<QString, bool>>{
                       {"a.mp4", true}, {"b.txt", false}, {"c.mp4", true}}));
  ASSERT_EQ(media_events("normal").size(), 2U);
  EXPECT_EQ(player().form.Text3.Text.get(), QStringLiteral("Movie"));
}

TEST_F(NewsScenario, FillerStartsAfreshThroughTheFillerLogic) {
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f.mp4")}, 600);
  news_item("10:02:00", {QStringLiteral("a.mp4")});
  simulation(at(9, 59, 40)).runtime().run_for_ms(4 * 60'000);

  const std::vector<TracedEvent> fillers = media_events("filler");
  const std::vector<TracedEvent> news = media_events("news");
  ASSERT_EQ(news.size(), 1U);
  ASSERT_EQ(fillers.size(), 2U);
  EXPECT_GT(fillers[1].at, news[0].at);
  EXPECT_EQ(fillers[1].number("start"), 0);
  EXPECT_EQ(player().state.row.StartOffset, 0);
  EXPECT_EQ(text3().back(), fillers[1].text("file"));
}

// Found at 23:50 by the look-ahead's second pass, past midnight: held until 00:05 the next day.
TEST_F(NewsScenario, AnItemPastMidnightWaitsForItsTimeTheNextDay) {
  filler_folder(QStringLiteral("filler"), {QStringLiteral("late.mp4")}, 1200);
  news_item("00:05:00", {QStringLiteral("a.mp4")});
  simulation(at(23, 49, 40)).runtime().run_for_ms(17 * 60'000);

  const std::vector<TracedEvent> news = media_events("news");
  ASSERT_EQ(news.size(), 1U);
  EXPECT_GE(news[0].at, at(0, 5, 0, 7));
  EXPECT_LT(news[0].at, at(0, 5, 1, 7));
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
