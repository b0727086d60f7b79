#include <set>

#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// Late on Sunday a 22:00-02:00 row plays its folder's clips, each once per cycle with the last
// in the list's order drawn only when alone; at midnight the row's window closes and the default
// folder takes over.
TEST_F(DayScenario, FillerCyclesThroughAFolderAndTheLateRowEndsAtMidnight) {
  const QString late =
      filler_folder(QStringLiteral("late"),
                    {QStringLiteral("a.mp4"), QStringLiteral("b.mp4"), QStringLiteral("c.mp4")}, 4);
  const QString fallback = filler_folder(QStringLiteral("filler"), {QStringLiteral("d.mp4")}, 4);
  add_filler_row(late, QStringLiteral("22:00:00"), QStringLiteral("02:00:00"), 0);
  sim::Simulation& sim = simulation(at(23, 58, 0));
  sim.runtime().run_until(monday(0, 0, 30));

  std::vector<QString> before_midnight;
  std::vector<QString> after_midnight;
  for (const TracedEvent& e : media_events("filler")) {
    (e.at < monday(0, 0, 0) ? before_midnight : after_midnight).push_back(file_name(e));
    const QString folder = QString::fromStdString(e.text("file")).section(u'/', 0, -2);
    EXPECT_EQ(folder, e.at < monday(0, 0, 0) ? late : fallback);
  }
  ASSERT_GE(before_midnight.size(), 6U);
  for (std::size_t cycle = 0; cycle + 3 <= 6; cycle += 3) {
    SCOPED_TRACE(cycle);
    const std::set<QString> first_two{before_midnight[cycle], before_midnight[cycle + 1]};
    EXPECT_EQ(first_two, (std::set<QString>{"a.mp4", "b.mp4"}));
    EXPECT_EQ(before_midnight[cycle + 2], "c.mp4");
  }
  ASSERT_FALSE(after_midnight.empty());
  EXPECT_EQ(after_midnight.front(), "d.mp4");
}

// A folder with no file falls back to the default folder; with no file there either nothing is
// rendered, one line is logged, and the show still starts on time.
class EmptyFillerFolder : public DayScenario, public ::testing::WithParamInterface<bool> {};

TEST_P(EmptyFillerFolder, FallsBackToTheDefaultFolderAndTheShowStartsOnTime) {
  const bool default_has_clip = GetParam();
  add_row(one_row_show("10:02:00", "10:30:00", "/media/show.mp4"));
  const QString empty = filler_folder(QStringLiteral("empty"), {}, 0);
  filler_folder(QStringLiteral("filler"),
                default_has_clip ? QStringList{QStringLiteral("d.mp4")} : QStringList{}, 600);
  add_filler_row(empty, QStringLiteral("06:00:00"), QStringLiteral("12:00:00"), 1);
  simulation(at(10, 0, 0)).runtime().run_until(at(10, 2, 30));

  const std::vector<TracedEvent> movies = media_events("normal");
  ASSERT_EQ(movies.size(), 1U);
  EXPECT_EQ(movies[0].text("file"), "/media/show.mp4");
  EXPECT_LT(seconds_after_start(movies[0].at) - seconds_after_start(at(10, 2, 0)), 0.5);
  std::set<QString> fillers;
  for (const TracedEvent& e : media_events("filler")) {
    fillers.insert(file_name(e));
  }
  EXPECT_EQ(fillers, default_has_clip ? std::set<QString>{"d.mp4"} : std::set<QString>{});
  EXPECT_EQ(error_lines("Run_Filler()"), default_has_clip ? 0U : 1U);
  EXPECT_EQ(player().form.Text3.Text.get(), QStringLiteral("Movie"));
}

INSTANTIATE_TEST_SUITE_P(DefaultFolder, EmptyFillerFolder, ::testing::Bool());

}  // namespace
}  // namespace vantora::testing
