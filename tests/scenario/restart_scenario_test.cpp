#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// A restart while filler plays: the clip stops with the old window, before the Restart form
// shows, and the day started again reads the tables as the scheduling tool has left them.
TEST_F(DayScenario, RestartStopsTheClipAndTheNewDayReadsTheTablesAfresh) {
  add_row(one_row_show("10:05:00", "10:30:00", "/media/show.mp4"));
  const QString clip = filler_folder(QStringLiteral("filler"), {QStringLiteral("d.mp4")}, 600) +
                       QStringLiteral("/d.mp4");
  sim::Simulation& sim = simulation(at(10, 0, 0));
  sim.runtime().run_for_ms(40'000);
  ASSERT_EQ(media_events("filler").size(), 1U);

  tool_exec(
      QStringLiteral("INSERT INTO logo (picture_file, startdate, enddate) VALUES "
                     "('/logos/new.png', '2026-12-06 00:00:00', '2026-12-07 00:00:00')"));
  tool_exec(QStringLiteral("INSERT INTO Wizard_INI (lottery_counter) VALUES ('3')"));
  sim.application().Restart_Load();
  sim.runtime().run_for_ms(20'000);

  DateTime restart_shown;
  for (const TracedEvent& e : events("control")) {
    if (e.text("name") == "Restart" && e.fields["value"] == true) {
      restart_shown = e.at;
    }
  }
  const std::vector<TracedEvent> stops = events("stop");
  ASSERT_FALSE(stops.empty());
  EXPECT_EQ(stops[0].text("file"), clip.toStdString());
  EXPECT_GT(seconds_after_start(stops[0].at), 40.0);
  EXPECT_LT(stops[0].at, restart_shown);
  ASSERT_EQ(media_events("filler").size(), 2U);

  for (const auto& [recordset, table] :
       {std::pair{&sim.data().rsLogo, "logo"}, std::pair{&sim.data().rsLottery, "Wizard_INI"}}) {
    SCOPED_TRACE(table);
    ASSERT_TRUE(recordset->is_open());
    EXPECT_EQ(recordset->record_count(),
              tool_value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt());
  }
  for (const TracedEvent& e : events("error")) {
    EXPECT_NE(e.number("number"), 3705) << e.text("description") << " in " << e.text("procedure");
  }
}

}  // namespace
}  // namespace vantora::testing
