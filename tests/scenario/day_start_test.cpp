#include <cmath>
#include <limits>

#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// What the day start makes of the schedule 36 s after the program starts (play_Click, at a
// whole second): the show due now starts normally from the start of its row to the tolerance
// (60 s) inclusive, never once its end has passed. A show a stop interrupted is the started row
// stopped more than 5 s before its end, with a saved position, at most the tolerance before now;
// it resumes 5 s past its saved position when it can finish before the next show, else it is
// given up for filler until the next show's start. A later segment of a split movie is judged
// by the time it had played: begun at 10:15 from 900 s into the file and stopped at 1000 s, a
// restart at 10:16 resumes it 9 s early and one at 10:31 finds it long overdue; judged by the
// position alone, the second would resume the movie some 14 minutes behind the day.
TEST_F(DayScenario, TheDayStartResumesStartsOrGivesUpTheShowAtHand) {
  const QString feature = "/media/feature.mp4";
  const PlaylistRow show = one_row_show("10:00:00", "10:30:00", "/media/feature.mp4");
  const PlaylistRow ended = one_row_show("10:00:00", "10:00:20", "/media/short.mp4");
  auto stopped = [&](int end_offset, const char* saved_position, bool started) {
    PlaylistRow row = show;
    row.end_offset = end_offset;
    row.saved_position = QString::fromLatin1(saved_position);
    row.started = started;
    return std::vector<PlaylistRow>{row};
  };
  const PlaylistRow part1{.start = "10:00:00",
                          .end = "10:15:00",
                          .file = feature,
                          .show_start = true,
                          .started = true,
                          .saved_position = "600"};
  const PlaylistRow part2{.start = "10:15:00",
                          .end = "10:30:00",
                          .file = feature,
                          .start_offset = 900,
                          .show_end = true};
  PlaylistRow played1 = part1;
  played1.end_offset = 900;
  played1.completed = true;
  played1.saved_position = "899.5";
  PlaylistRow stopped2 = part2;
  stopped2.started = true;
  stopped2.saved_position = "1000";
  const std::vector<PlaylistRow> split{part1, part2};
  const std::vector<PlaylistRow> split_later{played1, stopped2};
  const DateTime kDecision = at(10, 10, 30);  // the day start of most stopped shows
  struct Case {
    const char* name;
    std::vector<PlaylistRow> rows;
    DateTime decided;  // 36 s after the program's start
    int run_s;
    const char* outcome;      // the day start's word in Text3
    const char* first_movie;  // "file@start" of the first normal clip; "" none; null unchecked
    const char* next_show = nullptr;
    int due_minute = 0;  // past ten: the movie starts within a filler tick of it
    double resume_lag_s = std::numeric_limits<double>::quiet_NaN();
  };
  const auto played = stopped(605, "600", true);
  const auto late = stopped(606, "600", true);
  const auto mid = stopped(1800, "600", true);
  const Case cases[] = {
      {"at the row's start", {show}, at(10, 0), 37, "Normal", nullptr},
      {"the tolerance after it", {show}, at(10, 1), 37, "Normal", nullptr},
      {"a second later", {show}, at(10, 1, 1), 37, "UnIntrupted", nullptr},
      {"a second early", {show}, at(9, 59, 59), 37, "UnIntrupted", nullptr},
      {"its end has passed", {ended}, at(10, 0, 34), 45, "UnIntrupted", nullptr},
      {"stopped 5 s before its end: played", played, kDecision, 40, "UnIntrupted", ""},
      {"stopped 6 s before its end", late, kDecision, 40, "Intrupted", "feature.mp4@605"},
      {"never started", stopped(1800, "600", false), kDecision, 40, "UnIntrupted", ""},
      {"no saved position", stopped(1800, "NULL", true), kDecision, 40, "UnIntrupted", ""},
      {"saved point plus tolerance exactly", mid, at(10, 11), 40, "Intrupted", "feature.mp4@605"},
      {"a second past it", mid, at(10, 11, 1), 40, "UnIntrupted", ""},
      {"clock set back before the row", mid, at(9, 59), 40, "UnIntrupted", nullptr},
      {"clock at the row's start", mid, at(10, 0), 40, "Normal", nullptr},
      {"room to finish", split, kDecision, 45, "Intrupted", "feature.mp4@605", "11:00:00"},
      {"no room left", split, kDecision, 630, "UnRecoverable", "next.mp4@0", "10:20:00", 20},
      {"split, soon after", split_later, at(10, 16, 36), 40, "Intrupted", "feature.mp4@1005",
       "10:31:00", 0, -9.0},
      {"split, too late", split_later, at(10, 31, 36), 40, "Normal", "next.mp4@0", "10:31:00"},
  };
  filler_folder("filler", {"f1.mp4"}, 900);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    simulation_.reset();
    tool_exec("DELETE FROM playlist");
    for (const PlaylistRow& row : c.rows) {
      add_row(row);
    }
    if (c.next_show != nullptr) {
      add_row(one_row_show(c.next_show, "11:30:00", "/media/next.mp4"));
    }
    simulation(date_time::add_seconds(c.decided, -36)).runtime().run_for_ms(c.run_s * 1000);

    const std::vector<std::string> texts = text3();
    const auto decision = std::find_if(texts.begin(), texts.end(), [](const std::string& text) {
      return text == "Normal" || text.ends_with("ntrupted") || text == "UnRecoverable";
    });
    ASSERT_NE(decision, texts.end());
    EXPECT_EQ(*decision, c.outcome);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Normal"), *decision == "Normal" ? 1 : 0);
    const std::vector<TracedEvent> movies = media_events("normal");
    if (c.first_movie != nullptr) {
      EXPECT_EQ(movies.empty() ? std::string()
                               : file_name(movies[0]).toStdString() + '@' +
                                     std::to_string(static_cast<int>(movies[0].number("start"))),
                c.first_movie);
    }
    if (c.due_minute != 0) {
      ASSERT_FALSE(movies.empty());
      const double late_s =
          seconds_after_start(movies[0].at) - seconds_after_start(at(10, c.due_minute));
      EXPECT_GE(late_s, 0.0);
      EXPECT_LT(late_s, 0.5);
    }
    if (!std::isnan(c.resume_lag_s)) {
      // 10:16:36 against 10:15 + 105 s.
      EXPECT_NEAR(player().state.recovery.ResumeLag, c.resume_lag_s, 1.0);
    }
  }
}

}  // namespace
}  // namespace vantora::testing
