#include "core/media/interrupted_programme.h"

#include <gtest/gtest.h>

#include "support/player_fixture.h"

namespace vantora::testing {
namespace {

class InterruptedProgrammeTest : public PlayerFixture {};

// Saved, overwritten as a break item would, restored: the programme comes back and resumes ten
// seconds early, filler restarts.
TEST_F(InterruptedProgrammeTest, ProgrammeComesBackTenSecondsEarlyAndFillerFromTheStart) {
  struct Case {
    const char* name;
    bool filler;
    bool have_graph;
    double position_s;
    int start_offset_after;
    std::vector<std::int32_t> errors;
  };
  const Case cases[] = {
      {"movie at 125.4 s", false, true, 125.4, 115, {}},
      {"movie at 8 s", false, true, 8.0, 0, {}},
      {"movie at exactly 10 s", false, true, 10.0, 0, {}},
      {"10.5 s rounds to even", false, true, 20.5, 10, {}},
      {"filler never reads the position", true, false, 300.0, 0, {}},
      // The unreadable position leaves the offset saved before (here the first save's 40).
      {"movie without a graph", false, false, 0.0, 40, {err::kObjectVariableNotSet}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Player& p = player(at(14, 0));
    PlayerState& s = p.state;
    Procedure proc(p.errors, QStringLiteral("Test()"));
    position_->position_s = 50.0;
    Save_Programme(p, proc);

    s.row.MediaFile = QStringLiteral("/m/movie.mp4");
    s.filler.ClipFile = QStringLiteral("/m/filler.mp4");
    s.row.PictureTop = 40;
    s.row.PictureHeight = 480;
    s.row.EndOffset = 1800;
    s.filler.FillerLength = 95;
    s.filler.FillerMode = to_bool16(c.filler);
    position_->position_s = c.position_s;
    if (!c.have_graph) {
      s.graph.m_objMediaPosition.reset();
    }
    p.form.Logo.Visible = true;
    p.form.T_Time.Visible = false;
    p.form.T_Number.Visible = false;
    Save_Programme(p, proc);

    // The break item and its hidden overlays.
    s.row.MediaFile = s.filler.ClipFile = QStringLiteral("/ads/a.mp4");
    s.row.PictureTop = 0;
    s.row.PictureHeight = 600;
    s.row.EndOffset = s.filler.FillerLength = 30;
    s.row.StartOffset = 0;
    p.form.Logo.Visible = false;
    Restore_Programme(p, proc);

    EXPECT_EQ(s.row.MediaFile, QStringLiteral("/m/movie.mp4"));
    EXPECT_EQ(s.filler.ClipFile, QStringLiteral("/m/filler.mp4"));
    EXPECT_EQ(s.row.PictureTop, 40);
    EXPECT_EQ(s.row.PictureHeight, 480);
    EXPECT_EQ(s.row.EndOffset, 1800);
    EXPECT_EQ(s.filler.FillerLength, 95);
    EXPECT_EQ(s.row.StartOffset, c.start_offset_after);
    EXPECT_TRUE(p.form.Logo.Visible);
    EXPECT_FALSE(p.form.T_Time.Visible) << "hidden before, hidden after";
    EXPECT_FALSE(p.form.WnW.Visible);
    EXPECT_EQ(logged_errors(), c.errors);
    logged_.clear();
  }
}

}  // namespace
}  // namespace vantora::testing
