#include <QFile>
#include <QSqlQuery>

#include "core/logo/logo_timer.h"
#include "core/media/transport.h"
#include "core/operator/display_panel.h"
#include "core/operator/emergency.h"
#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// The operator's panel on a show that plays from 10:00 on the simulated program.
class OperatorPanel : public DayScenario {
 protected:
  static constexpr const char* kFeature = "/media/feature.mp4";

  // The day starts about 20 s after the show fell due at 10:00; the clock then stands at 10:00:30.
  Player& playing_show(double length_s = 114) {
    ScheduleFixture::add_row(one_row_show("10:00:00", "10:30:00", kFeature));
    media(QString::fromLatin1(kFeature), length_s);
    sim::Simulation& sim = simulation(at(9, 59, 40));
    sim.runtime().run_until(at(10, 0, 30));
    EXPECT_TRUE(player().state.graph.m_objMediaPosition != nullptr);
    return player();
  }

  // A break of one ad at `time`, queued by the slot search when a clip starts.
  void add_break(const char* time, const QString& file, double length_s) {
    add_ad(QString::fromLatin1(time), file, length_s, 1);
    add_slot(QString::fromLatin1(time));
  }

  // Two clips in the emergency folder the settings name.
  QString emergency_clips() {
    filler_folder(QStringLiteral("emergency"), {QStringLiteral("a.mp4")}, 20);
    return filler_folder(QStringLiteral("emergency"), {QStringLiteral("b.mp4")}, 30);
  }

  // "file@start" of every clip started in normal mode from `from` on.
  std::vector<std::string> started_from(DateTime from) {
    std::vector<std::string> started;
    for (const TracedEvent& e : media_events("normal")) {
      if (!(e.at < from)) {
        const std::string file = e.text("file");
        started.push_back(file.substr(file.rfind('/') + 1) + '@' +
                          std::to_string(static_cast<int>(e.number("start"))));
      }
    }
    return started;
  }

  sim::SimRuntime& runtime() { return simulation_->runtime(); }
  ports::MediaPosition& position() { return *player().state.graph.m_objMediaPosition; }

  // Runs a click at a moment of the day, as the operator's would: at the next pass of the loop.
  void click_at(DateTime when, forms::Button& button) {
    runtime().post_at(when, [&button] { button.click(); });
  }

  std::vector<std::string> keys_sent() {
    std::vector<std::string> keys;
    for (const TracedEvent& e : events("keys")) {
      keys.push_back(e.text("keys"));
    }
    return keys;
  }
};

TEST_F(OperatorPanel, SeeksStayClearOfBothEnds) {
  Player& p = playing_show();
  struct Case {
    void (*click)(Player&);
    double at_s;
    double then_s;
  } const cases[] = {
      {FF_Click, 98.0, 108.0},
      {FF_Click, 100.0, 100.0},  // 100 + 15 reaches the end of 114
      {RW_Click, 11.0, 11.0},
      {RW_Click, 11.5, 1.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.at_s);
    position().put_CurrentPosition(c.at_s);
    c.click(p);
    EXPECT_DOUBLE_EQ(position().CurrentPosition(), c.then_s);
  }
  const std::vector<TracedEvent> seeks = events("seek");
  ASSERT_GE(seeks.size(), 2U);
  // The test's own puts are seeks too; the two clicks that moved are the ones after 98 and 11.5.
  EXPECT_EQ(std::count_if(seeks.begin(), seeks.end(),
                          [](const TracedEvent& e) {
                            return (e.number("from") == 98 && e.number("to") == 108) ||
                                   (e.number("from") == 11.5 && e.number("to") == 1.5);
                          }),
            2);
}

TEST_F(OperatorPanel, WindowButtonsMoveThisClipOnly) {
  Player& p = playing_show();
  ports::VideoWindow& window = *p.state.graph.m_objVideoWindow;
  const int top = window.Top();
  const int height = window.Height();
  B_thin_Click(p);
  EXPECT_EQ(window.Height(), height + 6);
  EXPECT_EQ(window.Top(), top - 3);
  b_Wide_Click(p);
  B_UP_Click(p);
  B_Down_Click(p);
  EXPECT_EQ(window.Top(), top);
  EXPECT_EQ(window.Height(), height);
  EXPECT_EQ(p.state.row.PictureTop, 0);  // the next clip is placed by its own row

  // Height first, then top: the trace shows each step of the stretch.
  const std::vector<TracedEvent> moves = events("window");
  ASSERT_GE(moves.size(), 2U);
  EXPECT_EQ(moves[moves.size() - 6].number("h"), height + 6);
  EXPECT_EQ(moves[moves.size() - 6].number("y"), top);

  // With no video window the buttons do nothing at all.
  p.state.graph.m_objVideoWindow.reset();
  B_thin_Click(p);
  B_UP_Click(p);
  EXPECT_TRUE(events("error").empty());
}

TEST_F(OperatorPanel, PauseHoldsTheProgrammeAndNestsInnerFirst) {
  add_break("10:00:50", QStringLiteral("/media/ad.mp4"), 5);  // falls due during the pause
  Player& p = playing_show();
  forms::PlayerForm& f = p.form;
  const std::size_t keys_before = keys_sent().size();
  click_at(at(10, 0, 40), f.B_pause);
  click_at(at(10, 0, 50), f.B_pause);  // a pause inside the pause
  click_at(at(10, 1, 0), f.play_pause);
  // The pause waits inside the click, so the test looks on from events served by that wait.
  std::vector<double> held_s;
  for (const DateTime moment : {at(10, 0, 45), at(10, 0, 59)}) {
    runtime().post_at(moment, [&] {
      EXPECT_EQ(p.state.transport.Paused, kTrue);
      held_s.push_back(position().CurrentPosition());
    });
  }
  runtime().run_until(at(10, 1, 30));
  ASSERT_EQ(held_s.size(), 2U);
  EXPECT_DOUBLE_EQ(held_s[0], held_s[1]);  // the graph is paused
  EXPECT_EQ(p.state.transport.Paused, kFalse);

  // The break waited for the end of the pause, then played and gave the movie back.
  const std::vector<std::string> after = started_from(at(10, 1, 0));
  ASSERT_EQ(after.size(), 2U);
  EXPECT_EQ(after[0], "ad.mp4@0");
  EXPECT_EQ(started_from(at(10, 0, 31)), after);
  const std::vector<std::string> keys = keys_sent();
  EXPECT_EQ(std::vector<std::string>(keys.begin() + keys_before, keys.end()),
            (std::vector<std::string>{"P{sleep 1}P", "P{sleep 1}P", " {sleep 1} ", " {sleep 1} ",
                                      "P{sleep 1}P", " {sleep 1} "}));
}

// Exit clicked while the movie timer is changing segments: the click is served inside the
// release of the old graph, so the unload runs with the segment change still on the stack. What
// the change had left to do belongs to a window that is gone.
TEST_F(OperatorPanel, ExitDuringASegmentChangeEndsTheChangeToo) {
  add_row({.start = "10:00:00", .end = "10:00:20", .file = "/media/seg1.mp4", .show_start = true});
  add_row({.start = "10:00:20", .end = "10:00:40", .file = "/media/seg2.mp4", .show_end = true});
  media(QStringLiteral("/media/seg1.mp4"), 12);
  media(QStringLiteral("/media/seg2.mp4"), 40);
  add_break("10:05:00", QStringLiteral("/media/ad.mp4"), 10);
  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_for_ms(30'000);
  Player& p = player();
  auto tick = p.form.T_Movie.on_timer;
  bool clicked = false;
  p.form.T_Movie.on_timer = [&, tick] {
    if (!clicked && p.state.graph.ClipPlaying == kFalse) {
      clicked = true;
      runtime().post([&p] { p.form.Command1.click(); });
    }
    tick();
  };
  runtime().run_until(at(10, 1, 0));
  ASSERT_TRUE(clicked);
  // The window unloaded and closed the presentation, without an error line.
  EXPECT_EQ(simulation_->application().player(), nullptr);
  EXPECT_EQ(keys_sent().back(), "^{F2}");
  EXPECT_FALSE(QFile::exists(folder_.filePath(QStringLiteral("error.txt"))));
}

TEST_F(OperatorPanel, DisplaySwitchAndClock) {
  Player& p = playing_show();
  forms::PlayerForm& f = p.form;
  B_Disp_Click(p);
  EXPECT_EQ(f.B_Disp.Caption.get(), QStringLiteral("B"));
  EXPECT_TRUE(f.Time_Picker.Visible && f.B_SetTime.Visible);
  EXPECT_FALSE(f.B_pause.Visible || f.FF.Visible || f.B_Down.Visible);
  EXPECT_EQ(f.Time_Picker.Value.get(), at(10, 0, 30));

  // The clock goes back an hour on today's date: the schedule follows it, the clip plays on.
  f.Time_Picker.Value = date_time::from_parts(2031, 1, 1, 9, 0, 30);
  B_SetTime_Click(p);
  EXPECT_EQ(date_time::truncate_to_second(runtime().now()), at(9, 0, 30));
  const std::vector<TracedEvent> clock = events("clock");
  ASSERT_EQ(clock.size(), 1U);
  EXPECT_EQ(clock[0].text("to"), "2026-12-06T09:00:30.000");

  B_Disp_Click(p);
  EXPECT_EQ(f.B_Disp.Caption.get(), QStringLiteral("A"));
  EXPECT_FALSE(f.Time_Picker.Visible || f.B_SetTime.Visible);
  EXPECT_TRUE(f.B_pause.Visible && f.play_pause.Visible && f.RW.Visible && f.FF.Visible &&
              f.B_UP.Visible && f.B_Down.Visible);
}

TEST_F(OperatorPanel, LogoInForceAndDragged) {
  Player& p = playing_show();
  forms::PictureBox& logo = p.form.Logo;
  const QString a = picture("a.png");
  const QString b = picture("b.png");
  auto add_logo = [this](const QString& file, const char* from, const char* until) {
    tool_exec(QStringLiteral("INSERT INTO logo (picture_file, startdate, enddate, logo_top, "
                             "logo_left) VALUES ('%1', '%2', '%3', 40, 600)")
                  .arg(file, QLatin1String(from), QLatin1String(until)));
  };
  add_logo(a, "2026-12-01 00:00:00", "2026-12-06 10:00:40");
  add_logo(b, "2026-12-05 00:00:00", "2026-12-07 23:59:59");
  LogoTimer_Timer(p);  // 10:00:30: both rows cover now, the first in table order wins
  EXPECT_EQ(logo.Picture.get(), a);
  EXPECT_EQ(logo.Left.get(), 600);
  EXPECT_TRUE(logo.Visible);

  runtime().run_until(at(10, 0, 40));
  LogoTimer_Timer(p);  // at exactly its end the row is still in force
  EXPECT_EQ(logo.Picture.get(), a);
  runtime().run_until(at(10, 0, 41));
  tool_exec(QStringLiteral("DELETE FROM logo WHERE picture_file = '%1'").arg(b));
  LogoTimer_Timer(p);  // a second later nothing is in force: no picture, the box stays
  EXPECT_EQ(logo.Picture.get(), QString());
  EXPECT_TRUE(logo.Visible);

  // The drag goes through the window's event table, as a mouse on the screen does.
  logo.mouse_down(300, 150);
  logo.mouse_up(600, 450);
  EXPECT_EQ(logo.Left.get(), 620);
  EXPECT_EQ(logo.Top.get(), 60);
}

// A break already waiting for 10:15 keeps its turn: nothing starts at the click, and at 10:15 the
// ad plays first, then the emergency clips.
TEST_F(OperatorPanel, EmergencyQueuesBehindAWaitingBreak) {
  emergency_clips();
  add_break("10:15:00", QStringLiteral("/media/ad.mp4"), 10);
  Player& p = playing_show(3600);
  click_at(at(10, 1, 0), p.form.B_Restart);
  runtime().run_until(at(10, 17, 0));
  const std::vector<std::string> started = started_from(at(10, 1, 0));
  ASSERT_EQ(started.size(), 4U);
  EXPECT_EQ(std::vector<std::string>(started.begin(), started.begin() + 3),
            (std::vector<std::string>{"ad.mp4@0", "a.mp4@0", "b.mp4@0"}));
  EXPECT_EQ(started_from(at(10, 15, 0)).size(), 4U);  // nothing before 10:15
}

// A folder that cannot be listed queues nothing at all, not even the clips File1 listed last, and
// costs one line in error.txt.
TEST_F(OperatorPanel, EmergencyWithoutItsFolder) {
  const QString emergency = emergency_clips();
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f.mp4")}, 600);  // the default folder
  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_until(at(10, 2, 0));
  Player& p = player();
  ASSERT_EQ(p.state.filler.FillerMode, kTrue);

  ASSERT_TRUE(QDir(emergency).removeRecursively());
  const std::size_t errors_before = events("error").size();
  B_Restart_Click(p);
  EXPECT_EQ(tool_value(QStringLiteral("SELECT COUNT(*) FROM AD_Temp")).toInt(), 0);
  const std::vector<TracedEvent> errors = events("error");
  ASSERT_EQ(errors.size(), errors_before + 1);
  EXPECT_EQ(errors.back().text("procedure"), "Emergency()");
  EXPECT_EQ(errors.back().number("number"), 76);
  EXPECT_EQ(p.state.breaks.InAdBreak, kFalse);
}

}  // namespace
}  // namespace vantora::testing
