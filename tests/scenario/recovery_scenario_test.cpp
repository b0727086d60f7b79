#include <algorithm>

#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// Which row counts as a show a stop interrupted, as the day start sees it 36 s after the program
// starts. The show began at 10:00 at offset 0 and was last saved 600 s in; no show follows, so
// there is always room to finish it. Shows may start 60 s late. (One stopped well before its end
// and resumed is the show-start scenario's own case.)
TEST_F(DayScenario, AnInterruptedShowIsTheStartedRowStoppedBeforeItsEndWithinTheTolerance) {
  struct Case {
    const char* name;
    int end_offset;
    const char* saved_position;
    bool started;
    DateTime day_start;
    bool resumed;
  };
  const Case cases[] = {
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
    simulation_.reset();
    tool_exec(QStringLiteral("DELETE FROM playlist"));
    tool_exec(QStringLiteral("UPDATE \"Player INI\" SET start_tolerance = 60"));
    PlaylistRow row = one_row_show("10:00:00", "10:30:00", "/media/feature.mp4");
    row.end_offset = c.end_offset;
    row.saved_position = QString::fromLatin1(c.saved_position);
    row.started = c.started;
    add_row(row);
    simulation(date_time::add_seconds(c.day_start, -36)).runtime().run_for_ms(40'000);

    const std::vector<std::string> texts = text3();
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "Intrupted") != texts.end(), c.resumed);
    if (c.resumed) {
      const std::vector<TracedEvent> movies = media_events("normal");
      ASSERT_FALSE(movies.empty());
      EXPECT_EQ(movies[0].number("start"), 605.0);
    }
  }
}

}  // namespace
}  // namespace vantora::testing
