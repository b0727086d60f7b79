#include <gmock/gmock.h>

#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

TEST_F(DayScenario, TheDayStartsOnceTenSecondsAfterTheLoadAndReadsItsSettings) {
  tool_exec(
      QStringLiteral("UPDATE \"Player INI\" SET start_tolerance = 90, break_lead_time = 7, "
                     "panel_left = -1, filler_folder = '/srv/filler'"));
  sim::Simulation& sim = simulation(at(10, 0, 0));
  sim.runtime().run_for_ms(37'000);
  Player& p = player();

  // Loaded at 23 s, LoadStartAt is 33 s: the tick at 33 s does nothing, the one at 34 s starts.
  std::vector<double> timer2_off;
  std::vector<double> shown;
  for (const TracedEvent& e : events("control")) {
    if (e.text("name") == "Timer2" && e.fields["value"] == false) {
      timer2_off.push_back(seconds_after_start(e.at));
    }
    if (e.text("name") == "Player" && e.text("prop") == "Visible") {
      shown.push_back(seconds_after_start(e.at));
    }
  }
  EXPECT_EQ(timer2_off, std::vector<double>{34.0});
  EXPECT_EQ(shown, std::vector<double>{34.0});

  std::vector<std::string> keys;
  for (const TracedEvent& e : events("keys")) {
    keys.push_back(QString::number(seconds_after_start(e.at), 'f', 1).toStdString() + " " +
                   e.text("keys") + " -> " + e.text("window"));
  }
  ASSERT_GE(keys.size(), 4U);
  EXPECT_EQ(keys[2], "35.0 %y{sleep 1}%y -> Presentation Designer");
  EXPECT_EQ(keys[3], "35.1 %y -> Presentation Designer");
  EXPECT_THAT(windows_at(date_time::add_seconds(start_, 35)),
              ::testing::Contains("Presentation Designer 4,4 792x580 top"));

  EXPECT_EQ(p.state.settings.StartTolerance, 90);
  EXPECT_EQ(p.state.settings.BreakLeadTime, 7);
  EXPECT_EQ(p.state.filler.FillerFolder, QStringLiteral("/srv/filler"));
  EXPECT_EQ(sim.globals().PanelLeft, kTrue);
  EXPECT_NE(p.state.windows.PlayerHwnd, 0);
  for (db::Recordset* rs : p.data.recordsets()) {
    EXPECT_TRUE(rs->is_open()) << qPrintable(rs->command());
  }
  EXPECT_EQ(p.data.rsplaylist.sort(), QStringLiteral("seg_start_time"));
  EXPECT_EQ(p.data.rsfiller.sort(), QString());  // an empty filler table is not sorted
  EXPECT_EQ(p.data.rsAdv.sort(), QStringLiteral("time"));
  EXPECT_EQ(p.data.rsLogo.sort(), QStringLiteral("startdate"));
}

// play_Click looks at the playlist 36 s after the start, at a whole second.
TEST_F(DayScenario, TheStartWindowRunsFromTheStartToTheToleranceInclusive) {
  struct Case {
    const char* name;
    DateTime start;
    const char* outcome;
  };
  const Case cases[] = {
      {"exactly at seg_start_time", at(9, 59, 24), "Normal"},
      {"exactly the tolerance after it", at(10, 0, 24), "Normal"},
      {"one second later", at(10, 0, 25), "UnIntrupted"},
      {"one second early", at(9, 59, 23), "UnIntrupted"},
  };
  add_row(one_row_show("10:00:00", "10:30:00", "/media/feature.mp4"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tool_exec(QStringLiteral("UPDATE playlist SET started = 0"));
    sim::Simulation& sim = simulation(c.start);
    sim.runtime().run_for_ms(37'000);
    const std::vector<std::string> texts = text3();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), c.outcome);
  }
}

TEST_F(DayScenario, WithNoShowAheadTheNextStartIsFarAway) {
  add_row(one_row_show("08:00:00", "08:30:00", "/media/early.mp4"));
  sim::Simulation& sim = simulation(at(10, 0, 0));
  // Just after play_Click, before the filler timer's first tick searches again.
  sim.runtime().run_for_ms(36'800);
  EXPECT_EQ(text3().front(), "UnIntrupted");
  EXPECT_EQ(player().state.row.SegStart, date_time::from_parts(2110, 6, 6));
  EXPECT_EQ(player().state.cursor.EndOfList, kTrue);
}

}  // namespace
}  // namespace vantora::testing
