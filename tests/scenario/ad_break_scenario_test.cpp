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

}  // namespace
}  // namespace vantora::testing
