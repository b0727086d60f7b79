#include <gtest/gtest.h>

#include <QFile>
#include <nlohmann/json.hpp>

#include "base/errors.h"
#include "core/designer/designer_link.h"
#include "core/shell/player.h"
#include "scenario/day_scenario.h"
#include "sim/simulation.h"

namespace vantora {
namespace {

// Timer2 starts the day at 34 s; the start-up is all that runs before.
constexpr int kBeforeDayStart_ms = 33'500;

// The start-up on the simulated runtime, with its trace, over a fresh schedule.
class StartupSequence : public testing::DayScenario {
 protected:
  // A function, not a global: a global would be computed before the date library's own
  // constants exist, and the day would land in another millennium.
  static DateTime start_time() { return date_time::from_parts(2026, 12, 7, 8, 0, 0); }

  void SetUp() override {
    DayScenario::SetUp();
    tool_exec("UPDATE \"Player INI\" SET designer_document = 'show.vpd'");
    designer_ = "stand-in";
  }

  sim::Simulation& simulation() { return DayScenario::simulation(start_time()); }

  // The trace, one line per event, times in seconds after the start.
  std::vector<std::string> timeline() {
    std::vector<std::string> lines;
    for (const testing::TracedEvent& traced : events({})) {
      const nlohmann::json& e = traced.fields;
      // The type, then each field but the time, the handle and the strokes, by name ("window"
      // reads h name w x y z).
      std::string text = QString::number(seconds_after_start(traced.at), 'f', 1).toStdString() +
                         ' ' + e["type"].get<std::string>();
      for (const auto& [name, value] : e.items()) {
        if (name != "t" && name != "type" && name != "handle" && name != "strokes") {
          text += ' ' + (value.is_string() ? value.get<std::string>() : value.dump());
        }
      }
      lines.push_back(text);
    }
    return lines;
  }
};

// One run of the program's life before its first day: the start-up purges the old schedule rows
// and brings the player window up through the designer; a restart reloads it through the Restart
// form; Exit, before the day started, closes the presentation and ends the program once.
TEST_F(StartupSequence, StartsRestartsAndExitsBeforeTheDayStarted) {
  // A month before the start is 2026-11-07 08:00:00.
  tool_exec(
      "INSERT INTO playlist (seg_start_time, started, completed, file_name) VALUES "
      "('2026-12-07 08:00:00', 1, 1, 'done today'),"
      "('2026-12-07 09:00:00', 1, 1, 'done, later today'),"
      "('2026-11-07 08:00:00', 0, 0, 'exactly a month old'),"
      "('2026-11-07 07:59:59', 0, 0, 'a second older'),"
      "('2026-11-07 07:59:59', 1, 0, 'old and started'),"
      "('2026-12-07 08:00:00', 1, 0, 'started today'),"
      "('2026-12-07 08:00:00', NULL, 1, 'completed, started Null'),"
      "('2026-12-08 08:00:00', 0, 0, 'tomorrow')");
  sim::Simulation& sim = simulation();
  int ended = 0;
  sim.application().end_program = [&ended] { ++ended; };
  sim.runtime().run_for_ms(1);
  EXPECT_FALSE(sim.data().rsplaylist.is_open() || sim.data().rsPlayer_INI.is_open());
  EXPECT_EQ(tool_value("SELECT group_concat(file_name, '|') FROM (SELECT file_name FROM playlist "
                       "ORDER BY rowid)")
                .toString(),
            "exactly a month old|started today|completed, started Null|tomorrow");
  sim.runtime().run_for_ms(kBeforeDayStart_ms - 1);
  Player* player = sim.application().player();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->state.lifecycle.LoadStartAt, date_time::add_seconds(start_time(), 33));
  EXPECT_EQ(sim.globals().DesignerDocument, "stand-in show.vpd");
  EXPECT_EQ(sim.globals().DesignerHwnd, sim.desktop().find_window(designer::window_title()));

  sim.application().Restart_Load();
  EXPECT_EQ(sim.application().player()->state.lifecycle.LoadStartAt,
            date_time::add_seconds(date_time::truncate_to_second(sim.runtime().now()), 10));
  sim.runtime().run_for_ms(5'000);
  sim.application().player()->form.Command1.click();
  sim.runtime().run_for_ms(1);

  const std::vector<std::string> expected{
      "0.0 control Startup Startup Visible true",
      "0.0 desktop open Startup",
      "0.0 control Startup Timer1 Enabled true",
      // The first tick strictly past StartAt (start + 4 s).
      "5.0 control Startup Timer1 Enabled false",
      "7.0 control Startup Label1 Caption Launching designer",
      "7.0 launch stand-in show.vpd",
      "7.0 desktop open Presentation Designer",
      "17.0 control Startup Label1 Caption DESIGNER Launched",
      "17.0 activate true Presentation Designer",
      "18.0 control Startup Label1 Caption Designer Activated",
      "18.0 control Startup Label1 Caption DESIGNER Hnd received",
      "18.0 window 600 Startup 800 0 0 top",
      "18.0 control Startup Label1 Caption Designer Position set",
      "19.0 keys ^{F1} Presentation Designer",
      "21.0 activate true Presentation Designer",
      "22.0 keys %y Presentation Designer",
      "23.0 control Startup Startup Visible false",
      "23.0 desktop close Startup",
      "23.0 control Player Timer2 Enabled true",
      // The restart unloads the player: Timer2 first, then the presentation's closing keys.
      "33.5 control Player Timer2 Enabled false",
      "33.5 activate true Presentation Designer",
      "34.5 keys {esc}{sleep 1}{esc} Presentation Designer",
      "35.6 keys %{F4} Presentation Designer",
      "38.6 keys ^{F2} Presentation Designer",
      "39.6 keys ^{F2} Presentation Designer",
      "40.6 control Restart Restart Visible true",
      "40.6 desktop open Restart",
      "45.6 control Restart Restart Visible false",
      "45.6 desktop close Restart",
      "45.6 control Player Timer2 Enabled true",
      "45.6 control Player Player Visible true",
      "45.6 desktop open Vantora Player",
      "50.6 operator click Command1",  // the record of the operator's hand
      "50.6 control Player Timer2 Enabled false",
      "50.6 activate true Presentation Designer",
      "51.6 keys {esc}{sleep 1}{esc} Presentation Designer",
      "52.7 keys %{F4} Presentation Designer",
      "55.7 keys ^{F2} Presentation Designer",
      "56.7 keys ^{F2} Presentation Designer",
      "57.7 control Player Player Visible false",
      "57.7 desktop close Vantora Player",
  };
  EXPECT_EQ(timeline(), expected);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(sim.application().player(), nullptr);
  EXPECT_FALSE(QFile::exists(folder_.filePath("error.txt")));
}

TEST_F(StartupSequence, AMissingDesignerCostsOneLineAndNoKeys) {
  for (const bool configured : {true, false}) {
    SCOPED_TRACE(configured ? "designer never opens a window" : "no designer configured");
    QFile::remove(folder_.filePath("error.txt"));
    designer_ = configured ? "stand-in" : QString();
    sim::Simulation& sim = simulation();
    sim.desktop().set_launch_opens_designer(false);
    sim.runtime().run_for_ms(kBeforeDayStart_ms);
    const std::vector<std::string> all = timeline();
    auto count = [&](const std::string& part) {
      return std::ranges::count_if(all, [&](auto& line) { return line.find(part) != line.npos; });
    };
    EXPECT_EQ(count(" keys "), 0);
    EXPECT_EQ(count(" error "), 1);
    EXPECT_EQ(count("23.0 control Player Timer2 Enabled true"), 1);
    ASSERT_NE(sim.application().player(), nullptr);
  }
}

}  // namespace
}  // namespace vantora
