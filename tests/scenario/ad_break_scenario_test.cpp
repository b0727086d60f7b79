#include <cmath>

#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// Breaks prepared by the slot search from the tool's adv and Slot_adv rows, played by the ad
// timer on the whole simulated program.
using AdBreakScenario = DayScenario;

// The classic example: two ads at 10:15:00 with a lead time of 10 s over a movie begun at
// 10:00:14. The designer hears "P" on every tick of the last nine seconds, the first ad starts
// on the first tick at or after 10:15:00, "P" follows at once for the second, and after both the
// movie comes back ten seconds before the cut.
TEST_F(AdBreakScenario, ATwoAdBreakWarnsPlaysInPriorityOrderAndResumesTheMovie) {
  add_row(one_row_show("10:00:00", "10:30:00", "/media/show.mp4"));
  add_ad("10:15:00", QStringLiteral("/media/second.mp4"), 20, 2);
  add_ad("10:15:00", QStringLiteral("/media/first.mp4"), 30, 1);
  add_slot("10:15:00");
  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_for_ms(17 * 60'000);

  const std::vector<TracedEvent> movies = media_events("normal");
  ASSERT_EQ(movies.size(), 4U);
  EXPECT_EQ(movies[1].text("file"), "/media/first.mp4");
  EXPECT_EQ(movies[2].text("file"), "/media/second.mp4");
  EXPECT_EQ(movies[3].text("file"), "/media/show.mp4");
  for (std::size_t i = 1; i <= 2; ++i) {
    EXPECT_EQ(movies[i].number("start"), 0.0);
    EXPECT_EQ(movies[i].number("top"), 0.0);
    EXPECT_EQ(movies[i].number("height"), 600.0);
  }
  const double late_s = seconds_after_start(movies[1].at) - seconds_after_start(at(10, 15, 0));
  EXPECT_GE(late_s, 0.0);
  EXPECT_LT(late_s, 0.666);
  // The second ad starts on the first tick after the first one's end.
  const double gap_s = seconds_after_start(movies[2].at) - seconds_after_start(movies[1].at) - 30;
  EXPECT_GE(gap_s, 0.0);
  EXPECT_LT(gap_s, 0.666 + 0.010);

  // The position when the break began, as the clock moved it since the show started.
  const double cut_s = movies[0].number("start") +
                       (seconds_after_start(movies[1].at) - seconds_after_start(movies[0].at));
  EXPECT_EQ(movies[3].number("start"), std::nearbyint(cut_s - 10));

  // "12:34:56.789 KEYS" for each key string sent from 10:14:45 on.
  std::vector<std::string> keys;
  for (const TracedEvent& e : events("keys")) {
    if (!(e.at < at(10, 14, 45))) {
      keys.push_back(date_time::to_iso_ms(e.at).mid(11).toStdString() + ' ' + e.text("keys"));
    }
  }
  ASSERT_GE(keys.size(), 5U);
  std::size_t warnings = 0;
  while (warnings < keys.size() && keys[warnings].ends_with(" P")) {
    ++warnings;
  }
  EXPECT_GE(keys.front(), "10:14:51.000 P");
  EXPECT_LT(keys.front(), "10:14:51.666 P");
  EXPECT_GE(warnings, 9U * 1000 / 1166);  // one per tick: 666 ms plus the warning's own 500 ms
  ASSERT_LE(warnings + 4, keys.size());
  EXPECT_TRUE(keys[warnings].ends_with(" P{sleep 1}P")) << keys[warnings];
  EXPECT_TRUE(keys[warnings + 1].ends_with(" P")) << keys[warnings + 1];
  EXPECT_TRUE(keys[warnings + 2].ends_with(" P{sleep 1}P")) << keys[warnings + 2];
  EXPECT_TRUE(keys[warnings + 3].ends_with("  {sleep 1} ")) << keys[warnings + 3];

  // Logged in play order as each started; the show row is not logged until it ends.
  EXPECT_EQ(played_files(), (std::vector<std::string>{"/media/first.mp4", "/media/second.mp4"}));
  EXPECT_EQ(
      tool_value(
          QStringLiteral(
              "SELECT started || completed || IFNULL(reserved_17, 'N') || IFNULL(logo_file, 'N') "
              "|| IFNULL(logo_left, 'N') || IFNULL(logo_top, 'N') || ' ' || end_offset || ' ' "
              "|| picture_height || ' ' || seg_start_time FROM Played ORDER BY rowid"))
          .toString()
          .toStdString(),
      "00NNNN 30 600 " + day_text(QStringLiteral("10:15:00")).toStdString());
  Player& p = player();
  EXPECT_EQ(p.state.breaks.InAdBreak, kFalse);
  EXPECT_EQ(p.form.Text3.Text.get(), QStringLiteral("Movie"));
  // Two ads: the second found the logo timer already held, so the movie does not turn it on
  // from LogoTimerWasOn; its "NO" logo turns it on all the same.
  EXPECT_EQ(p.state.saved.LogoTimerWasOn, kFalse);
  EXPECT_TRUE(events("error").empty());
}

// A file that cannot be played is logged all the same (it was started), leaves nothing playing,
// and the next tick goes on with the next item. A movie cut within its first ten seconds comes
// back from its start.
TEST_F(AdBreakScenario, AnUnplayableAdIsLoggedAndSkippedAndAnEarlyCutResumesAtZero) {
  add_row(one_row_show("10:00:00", "10:30:00", "/media/show.mp4"));
  add_ad("10:00:22", QStringLiteral("/media/one.mp4"), 15, 1);
  add_ad("10:00:22", QStringLiteral("/media/broken.mp4"), 15, 2, File::kNotMedia);
  add_ad("10:00:22", QStringLiteral("/media/three.mp4"), 15, 3);
  add_slot("10:00:22");
  sim::Simulation& sim = simulation(at(9, 59, 40));
  sim.runtime().run_for_ms(2 * 60'000);

  const std::vector<TracedEvent> movies = media_events("normal");
  ASSERT_EQ(movies.size(), 5U);
  const double cut_s = movies[0].number("start") +
                       (seconds_after_start(movies[1].at) - seconds_after_start(movies[0].at));
  EXPECT_LE(cut_s, 10.0);
  EXPECT_EQ(movies[2].text("file"), "/media/broken.mp4");
  EXPECT_FALSE(movies[2].fields["ok"].get<bool>());
  EXPECT_EQ(movies[3].text("file"), "/media/three.mp4");
  // Straight on at the next tick, after the broken item's 1.5 s of hand-over.
  EXPECT_LT(seconds_after_start(movies[3].at) - seconds_after_start(movies[2].at), 1.5 + 0.7);
  EXPECT_EQ(movies[4].text("file"), "/media/show.mp4");
  EXPECT_EQ(movies[4].number("start"), 0.0);
  EXPECT_EQ(played_files(),
            (std::vector<std::string>{"/media/one.mp4", "/media/broken.mp4", "/media/three.mp4"}));
  EXPECT_TRUE(events("error").empty());
}

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
