#include "core/scheduler/schedule_row.h"

#include "support/player_fixture.h"

namespace vantora::testing {
namespace {

class ScheduleRowTest : public PlayerFixture {};

// A break item loads through the same loader as a segment: AD_Temp's offsets are fractional and
// rounded, and an unreadable column costs only its own variable.
TEST_F(ScheduleRowTest, BreakItemLoadsLikeASegmentAndABadColumnCostsOnlyItsVariable) {
  using schedule_row::Load;
  tool_exec(QStringLiteral(
      "INSERT INTO AD_Temp (file_name, end_offset, hide_caption, ad_flag, start_now, picture_top)"
      " VALUES ('/ads/a.mp4', 30.5, 1, 1, 0, NULL)"));
  data_->rsADTemp.open();
  Player& p = player(at(10, 0));
  PlayerState& s = p.state;
  s.row.PictureTop = 40;
  s.row.StartNow = kTrue;
  Procedure proc(p.errors, QStringLiteral("Get_Ad()"));

  schedule_row::load(s, data_->rsADTemp, proc,
                     {Load::kMediaFile, Load::kClipFile, Load::kEndOffset, Load::kPictureTop,
                      Load::kHideCaption, Load::kAdFlag, Load::kStartNow});

  EXPECT_EQ(s.row.MediaFile, QStringLiteral("/ads/a.mp4"));
  EXPECT_EQ(s.filler.ClipFile, QStringLiteral("/ads/a.mp4"));
  EXPECT_EQ(s.row.EndOffset, 30) << "30.5 rounds to even";
  EXPECT_EQ(s.row.PictureTop, 40) << "a Null top leaves the old value";
  EXPECT_EQ(s.row.HideCaption, kTrue);
  EXPECT_EQ(s.breaks.AdFlag, kTrue);
  EXPECT_EQ(s.row.StartNow, kFalse) << "the columns after the bad one are still read";
  EXPECT_EQ(logged_errors(), std::vector<std::int32_t>{err::kInvalidUseOfNull});
}

}  // namespace
}  // namespace vantora::testing
