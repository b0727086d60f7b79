#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// Breaks prepared by the slot search from the tool's adv and Slot_adv rows, played by the ad
// timer on the whole simulated program.
using AdBreakScenario = DayScenario;

// A break over filler, with the next show due at 10:16:00: the show starts when the break ends
// less than five minutes after its time, filler goes on when the break ends before it or later.
struct OverFiller {
  double ad_s;          // the break runs from 10:15:00 for this long
  const char* resumed;  // the mode of what plays next: "normal" is the show
};

class BreakOverFiller : public AdBreakScenario, public ::testing::WithParamInterface<OverFiller> {};

TEST_P(BreakOverFiller, EndsInTheShowOnlyWithinFiveMinutesOfItsStart) {
  const OverFiller c = GetParam();
  add_row(one_row_show("10:16:00", "10:30:00", "/media/show.mp4"));
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f.mp4")}, 600);
  add_ad("10:15:00", QStringLiteral("/media/ad.mp4"), c.ad_s, 1);
  add_slot("10:15:00");
  sim::Simulation& sim = simulation(at(10, 9, 40));
  sim.runtime().run_for_ms(static_cast<int>((5 * 60 + 30 + c.ad_s) * 1000));

  std::vector<TracedEvent> media = events("media");
  auto ad = std::find_if(media.begin(), media.end(),
                         [](const TracedEvent& e) { return e.text("file") == "/media/ad.mp4"; });
  ASSERT_NE(ad, media.end());
  EXPECT_EQ(ad->text("mode"), "filler");  // the break left filler mode as it was
  ASSERT_NE(ad + 1, media.end());
  EXPECT_EQ((ad + 1)->text("mode"), c.resumed);
  const double end_s = seconds_after_start((ad + 1)->at) - seconds_after_start(ad->at);
  EXPECT_GE(end_s, c.ad_s);
  EXPECT_LT(end_s, c.ad_s + 0.7);
}

// Ending at 10:17:30, 10:15:50 and 10:22:00.
INSTANTIATE_TEST_SUITE_P(Endings, BreakOverFiller,
                         ::testing::Values(OverFiller{150, "normal"}, OverFiller{50, "filler"},
                                           OverFiller{420, "filler"}));

// The clipboard, step by step while a clock show plays after a break that saw the clock: only
// the exact words count, "OK" answers within a tick, and a "CON" written while disconnected
// waits for the operator's play.
TEST_F(AdBreakScenario, TheClipboardPausesAndResumesOnlyOnItsExactWords) {
  add_row(one_row_show("10:00:00", "10:30:00", "/media/show.mp4"));
  // No caption: its cycle would remember the overlays over the break's own flags.
  tool_exec(
      QStringLiteral("UPDATE playlist SET logo_file = 'CLOCK', logo_left = 600, "
                     "logo_top = 20, hide_caption = -1"));
  add_ad("10:00:30", QStringLiteral("/media/ad.mp4"), 10, 1);
  add_slot("10:00:30");
  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_for_ms(80'000);
  Player& p = player();
  ASSERT_TRUE(p.form.T_Time.Visible);
  ASSERT_EQ(p.state.saved.TimeWasVisible, kTrue);

  enum class Operator { kNothing, kPlays };
  struct Step {
    const char* written;  // by the other program; null: nothing written
    Operator op;
    const char* clipboard;  // a tick later
    Bool16 paused;
  };
  const Step steps[] = {
      {"disc", Operator::kNothing, "disc", kFalse},
      {"DISC ", Operator::kNothing, "DISC ", kFalse},
      {"text of another program", Operator::kNothing, "text of another program", kFalse},
      {"DISC", Operator::kNothing, "OK", kTrue},
      {"CON", Operator::kNothing, "CON", kTrue},
      {nullptr, Operator::kNothing, "CON", kTrue},
      {nullptr, Operator::kPlays, "OK", kFalse},
      {"CON", Operator::kNothing, "OK", kFalse},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.written == nullptr ? "-" : step.written);
    if (step.written != nullptr) {
      sim.desktop().set_clipboard_from_outside(QString::fromLatin1(step.written));
    }
    if (step.op == Operator::kPlays) {
      p.state.transport.Paused = kFalse;  // what the play control does
    }
    sim.runtime().run_for_ms(700);
    EXPECT_EQ(sim.desktop().clipboard_text(), QString::fromLatin1(step.clipboard));
    EXPECT_EQ(p.state.transport.Paused, step.paused);
    EXPECT_EQ(p.form.T_Time.Visible.get(), step.paused == kFalse);
    if (step.paused == kTrue) {
      const double position_s = p.state.graph.m_objMediaPosition->CurrentPosition();
      sim.runtime().run_for_ms(1'000);
      EXPECT_EQ(p.state.graph.m_objMediaPosition->CurrentPosition(), position_s);
    }
  }
  // The answer to "DISC" came with the player window in its corner and the designer over the
  // screen, both topmost, in the same moment.
  DateTime answered;
  for (const TracedEvent& e : events("clipboard")) {
    if (e.text("by") == "player") {
      answered = e.at;
      break;
    }
  }
  EXPECT_EQ(windows_at(answered),
            (std::vector<std::string>{"Vantora Player 298,2 500x350 top",
                                      "Presentation Designer 4,4 792x580 top"}));
  EXPECT_TRUE(events("error").empty());
}

}  // namespace
}  // namespace vantora::testing
