#include <QFile>
#include <QSqlQuery>
#include <optional>

#include "core/news/lottery_display.h"
#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// Days start 34 s after the simulation does; a show already due then starts some 2.5 s later.
constexpr int kDayStartS = 34;

QString clock_text(DateTime moment) {
  return date_time::to_qdatetime(moment).toString(QStringLiteral("HH:mm:ss"));
}

// What follows a show depends on the next show's distance from the moment the end is noticed;
// the test places the next show relative to that moment, inside the deciding tick.
struct NextShow {
  const char* name;
  std::optional<int> in_s;  // none: no next show at all
  bool start_now;
  const char* first_after;  // the mode of the first media after the show's last segment
};

class AfterTheShow : public DayScenario, public ::testing::WithParamInterface<NextShow> {};

TEST_P(AfterTheShow, EverySegmentPlaysIsLoggedAndTheNextShowFollowsByTheTenSecondRule) {
  const NextShow& c = GetParam();
  add_row({.start = "10:00:00", .end = "10:00:20", .file = "/media/seg1.mp4", .show_start = true});
  add_row({.start = "10:00:20", .end = "10:00:40", .file = "/media/seg2.mp4", .start_offset = 30});
  add_row({.start = "10:00:40", .end = "10:01:00", .file = "/media/seg3.mp4", .show_end = true});
  media(QStringLiteral("/media/seg1.mp4"), 12);
  media(QStringLiteral("/media/seg2.mp4"), 40);
  media(QStringLiteral("/media/seg3.mp4"), 8);
  media(QStringLiteral("/media/next.mp4"), 3600);
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f1.mp4")}, 600);
  // Column 17 belongs to the scheduling tool; a Null stays Null in the log.
  tool_exec(
      QStringLiteral("UPDATE playlist SET reserved_17 = 'tool' WHERE file_name LIKE '%seg2%'"));
  tool_exec(QStringLiteral(
      "UPDATE playlist SET logo_top = CASE WHEN file_name LIKE '%seg3%' THEN NULL ELSE 5 END"));

  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_for_ms(30'000);
  Player& p = player();
  std::optional<DateTime> noticed;
  auto tick = p.form.T_Movie.on_timer;
  p.form.T_Movie.on_timer = [&, tick] {
    if (!noticed && p.state.graph.ClipPlaying == kFalse && p.state.row.ShowEndRow == kTrue) {
      noticed = sim.runtime().now();
      if (c.in_s) {
        PlaylistRow next = one_row_show("", "", "/media/next.mp4");
        next.start = clock_text(date_time::add_seconds(*noticed, *c.in_s));
        next.end = "11:00:00";
        next.start_now = c.start_now;
        ScheduleFixture::add_row(next);
      }
    }
    tick();
  };
  sim.runtime().run_until(at(10, 1, 30));
  ASSERT_TRUE(noticed.has_value());

  std::vector<TracedEvent> all = events("media");
  std::vector<std::pair<std::string, double>> segments;
  std::size_t after = 0;
  while (after < all.size() && all[after].at < *noticed) {
    segments.emplace_back(all[after].text("file"), all[after].number("start"));
    ++after;
  }
  EXPECT_EQ(segments,
            (std::vector<std::pair<std::string, double>>{
                {"/media/seg1.mp4", 0}, {"/media/seg2.mp4", 30}, {"/media/seg3.mp4", 0}}));
  ASSERT_LT(after, all.size());
  EXPECT_EQ(all[after].text("mode"), c.first_after);
  const bool next_played =
      std::any_of(all.begin() + static_cast<std::ptrdiff_t>(after), all.end(),
                  [](const TracedEvent& e) { return e.text("file") == "/media/next.mp4"; });
  EXPECT_EQ(next_played, c.in_s.has_value());

  // One log row per segment, in the order they finished, a copy of the playlist row except
  // column 17; a Null stays Null.
  const std::vector<std::string> rows = column(
      "SELECT p.file_name || ' ' || (p.started <> 0 AND p.completed <> 0 AND p.saved_position > 0 "
      "AND p.seg_start_time = l.seg_start_time AND p.saved_position = l.saved_position "
      "AND p.reserved_17 IS NULL) || (p.logo_top IS NULL) "
      "FROM Played p JOIN playlist l ON l.file_name = p.file_name ORDER BY p.rowid");
  EXPECT_EQ(rows, (std::vector<std::string>{"/media/seg1.mp4 10", "/media/seg2.mp4 10",
                                            "/media/seg3.mp4 11"}));
  EXPECT_TRUE(events("error").empty());
}

INSTANTIATE_TEST_SUITE_P(NextShows, AfterTheShow,
                         ::testing::Values(NextShow{"in_9_s_at_once", 9, false, "normal"},
                                           NextShow{"in_10_s_after_filler", 10, false, "filler"},
                                           NextShow{"start_now_at_once", 600, true, "normal"},
                                           NextShow{"none_filler", std::nullopt, false, "filler"}),
                         [](const ::testing::TestParamInfo<NextShow>& test) {
                           return std::string(test.param.name);
                         });

// The caption over the picture from tick 10 to tick 30 of a segment, in place of the clock.
struct CaptionCase {
  const char* name;
  bool hide_caption;                  // the row's own flag
  void (*at_tick_5)(PlayerState& s);  // what a break or filler would have set by tick 10
  bool caption_enabled;               // Player INI column 6
  bool shows;
};

class CaptionCycle : public DayScenario, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(CaptionCycle, TheCaptionTakesTheClocksPlaceForTenSeconds) {
  const CaptionCase& c = GetParam();
  add_row(one_row_show("10:00:00", "10:30:00", "/media/feature.mp4"));
  tool_exec(QStringLiteral("UPDATE playlist SET logo_file = 'CLOCK', hide_caption = %1")
                .arg(c.hide_caption ? -1 : 0));
  const QString status = folder_.filePath(QStringLiteral("status.txt"));
  tool_exec(QStringLiteral("UPDATE \"Player INI\" SET status_file_1 = '%1', status_file_2 = '%2', "
                           "caption_enabled = %3")
                .arg(status, folder_.filePath(QStringLiteral("missing/status.txt")))
                .arg(c.caption_enabled ? -1 : 0));
  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_for_ms(kDayStartS * 1000 + 4'000);
  std::vector<DateTime> enabled;
  for (const TracedEvent& e : events("control")) {
    if (e.text("name") == "T_Movie" && e.fields["value"] == true) {
      enabled.push_back(date_time::add_seconds(e.at, 0.5));
    }
  }
  ASSERT_EQ(enabled.size(), 1U);
  const DateTime first_tick = enabled[0];
  sim.runtime().run_until(date_time::add_seconds(first_tick, 2.2));
  if (c.at_tick_5 != nullptr) {
    c.at_tick_5(player().state);
  }
  sim.runtime().run_until(date_time::add_seconds(first_tick, 20));

  std::vector<std::string> changes;
  for (const TracedEvent& e : events("control")) {
    const std::string name = e.text("name");
    if ((name == "Picture1" || name == "T_Time") && e.text("prop") == "Visible" &&
        e.at > first_tick) {
      changes.push_back(QString::number(seconds_after_start(e.at) - seconds_after_start(first_tick))
                            .toStdString() +
                        ' ' + name + (e.fields["value"] == true ? " shown" : " hidden"));
    }
  }
  using Changes = std::vector<std::string>;
  const Changes shown{"4.5 Picture1 shown", "4.5 T_Time hidden", "14.5 Picture1 hidden",
                      "14.5 T_Time shown"};
  EXPECT_EQ(changes, c.shows ? shown : Changes{});

  // The status file holds the caption; without the caption display it is rewritten every tick,
  // also over a line someone else put there.
  QFile file(status);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  EXPECT_EQ(file.readAll(), QByteArray("Tonight\r\n"));
  file.resize(0);
  file.write("stale\r\n");
  file.close();
  sim.runtime().run_for_ms(600);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray(c.caption_enabled ? "stale\r\n" : "Tonight\r\n"));
  // The folder that does not exist costs one line, not one per tick.
  EXPECT_EQ(error_lines("T_Movie_Timer()"), 1U);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptionCycle,
    ::testing::Values(CaptionCase{"shown", false, nullptr, true, true},
                      CaptionCase{"hide_caption", true, nullptr, true, false},
                      CaptionCase{"ad_flag", false, [](PlayerState& s) { s.breaks.AdFlag = kTrue; },
                                  true, false},
                      CaptionCase{"filler_mode", false,
                                  [](PlayerState& s) { s.filler.FillerMode = kTrue; }, true, false},
                      CaptionCase{"display_off", false, nullptr, false, false}),
    [](const ::testing::TestParamInfo<CaptionCase>& test) { return std::string(test.param.name); });

// Paused, nothing is saved, while the position shown goes on. (Where a stopped player resumes
// after its last save is the recovery soak's to check, over fifty crashes.)
TEST_F(DayScenario, APausedPlayerSavesNoPosition) {
  add_row(one_row_show("10:00:00", "10:30:00", "/media/feature.mp4"));
  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_until(at(10, 3, 0));
  const QString saved_position = QStringLiteral("SELECT saved_position FROM playlist");
  Player& p = player();
  p.state.transport.Paused = kTrue;
  const double paused_at = tool_value(saved_position).toDouble();
  const QString position_shown = p.form.Text1.Text;
  sim.runtime().run_for_ms(3'000);
  EXPECT_EQ(tool_value(saved_position).toDouble(), paused_at);
  EXPECT_NE(p.form.Text1.Text.get(), position_shown);
}

// A digit is revealed on the first movie tick after a break in minutes 11 to 19 of the hour,
// masked again 105 s later; the count goes to Wizard_INI with its sign blank.
TEST_F(DayScenario, TheLotteryRevealsADigitAfterABreakInItsMinutes) {
  add_row(one_row_show("10:09:00", "10:59:00", "/media/feature.mp4"));
  tool_exec(QStringLiteral("UPDATE playlist SET logo_file = 'NUM47019'"));
  sim::Simulation& sim = simulation(at(9, 59, 40));
  Player& p = (sim.runtime().run_until(at(10, 10, 0)), player());
  tool_exec(QStringLiteral("DELETE FROM Wizard_INI"));
  p.data.rsLottery.requery();
  auto break_ends_at = [&](DateTime moment) {
    sim.runtime().run_until(moment);
    p.state.breaks.AdPlaying = kTrue;
    sim.runtime().run_for_ms(600);
  };
  const QString counter =
      QStringLiteral("SELECT COUNT(*) || '|' || IFNULL(MAX(lottery_counter), '') FROM Wizard_INI");
  break_ends_at(at(10, 10, 30));
  EXPECT_EQ(tool_value(counter).toString().toStdString(), "0|");
  break_ends_at(at(10, 15, 0));
  EXPECT_EQ(p.form.T_Number.Caption.get(), QStringLiteral("4????"));
  break_ends_at(at(10, 20, 0));
  sim.runtime().run_until(at(10, 21, 0));
  EXPECT_EQ(p.form.T_Number.Caption.get(), QStringLiteral("X????"));
  EXPECT_EQ(p.state.lottery.LotteryCount, 1);
  EXPECT_EQ(tool_value(counter).toString().toStdString(), "1| 1");

  for (int call = 2; call <= 6; ++call) {
    Show_Lottery(p);
  }
  EXPECT_EQ(tool_value(counter).toString().toStdString(), "1| 6");
  EXPECT_EQ(p.form.T_Number.Caption.get(), QStringLiteral("XXXX9"));
}

}  // namespace
}  // namespace vantora::testing
