#include "core/media/movie_segment.h"
#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// Run_MovieFile again on the running show's row, with the overlay columns of each case.
class SegmentOverlay : public DayScenario {
 protected:
  Player& running_show() {
    add_row(one_row_show("10:00:00", "10:30:00", "/media/feature.mp4"));
    sim::Simulation& sim = simulation(at(9, 59, 40));
    sim.runtime().run_for_ms(45'000);
    return player();
  }

  // The scheduling tool rewrites the row's overlay columns, which no type guards, so a position
  // may well be no number.
  void replay(Player& p, const QString& logo_file, const QString& left, const QString& top) {
    tool_exec(
        QStringLiteral("UPDATE playlist SET logo_file = '%1', logo_left = '%2', logo_top = '%3'")
            .arg(logo_file, left, top));
    db::Recordset& rs = p.data.rsplaylist;
    rs.requery();
    rs.move_first();
    Run_MovieFile(p);
  }
};

TEST_F(SegmentOverlay, ByLogoFile) {
  const QString logo = picture("logo.png");
  Player& p = running_show();
  forms::PlayerForm& f = p.form;

  replay(p, QStringLiteral("CLOCK"), QStringLiteral("612"), QStringLiteral("24.4"));
  EXPECT_TRUE(f.T_Time.Visible);
  EXPECT_FALSE(f.Logo.Visible);
  EXPECT_FALSE(f.LogoTimer.Enabled);
  EXPECT_EQ(f.T_Time.Left.get(), 612);
  EXPECT_EQ(f.T_Time.Top.get(), 24);
  EXPECT_EQ(f.T_Time.Caption.get(), QStringLiteral("10:00"));
  EXPECT_EQ(p.state.overlay.ClockShown, kTrue);

  replay(p, logo, QStringLiteral("700"), QStringLiteral("10"));
  EXPECT_TRUE(f.Logo.Visible);
  EXPECT_FALSE(f.T_Time.Visible);
  EXPECT_EQ(f.Logo.Picture.get(), logo);
  EXPECT_EQ(f.Logo.Left.get(), 700);
  EXPECT_EQ(p.state.overlay.ClockShown, kFalse);

  // "no" is not "NO": a picture file that does not load keeps the old picture, box shown.
  replay(p, QStringLiteral("no"), QStringLiteral("left"), QStringLiteral("12"));
  EXPECT_TRUE(f.Logo.Visible);
  EXPECT_EQ(f.Logo.Picture.get(), logo);
  EXPECT_EQ(f.Logo.Left.get(), 700);  // a position that is no number leaves it
  EXPECT_EQ(f.Logo.Top.get(), 12);
  const std::vector<TracedEvent> errors = events("error");
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors.back().text("procedure"), "Run_MovieFile()");

  replay(p, QStringLiteral("NO"), QStringLiteral("0"), QStringLiteral("0"));
  EXPECT_FALSE(f.Logo.Visible);
  EXPECT_FALSE(f.T_Time.Visible);
  EXPECT_FALSE(f.T_Number.Visible);
  EXPECT_TRUE(f.LogoTimer.Enabled);
}

TEST_F(SegmentOverlay, LotteryMaskFromTheCounter) {
  Player& p = running_show();
  struct Case {
    const char* counter;  // null: the table is empty
    const char* mask;
    int count;
  };
  const Case cases[] = {
      {"2", "XX???", 2},   {" 0", "?????", 0},
      {"5", "XXXXX", 5},   {"7", "XXXXX", 7},  // clamped for the label only
      {"-1", "?????", -1}, {nullptr, "?????", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.counter == nullptr ? "empty table" : c.counter);
    tool_exec(QStringLiteral("DELETE FROM Wizard_INI"));
    if (c.counter != nullptr) {
      tool_exec(QStringLiteral("INSERT INTO Wizard_INI (lottery_counter) VALUES ('%1')")
                    .arg(QLatin1String(c.counter)));
    }
    p.data.rsLottery.requery();
    replay(p, QStringLiteral("NUMBERS 12345"), QStringLiteral("0"), QStringLiteral("0"));
    EXPECT_EQ(p.form.T_Number.Caption.get(), QLatin1String(c.mask));
    EXPECT_EQ(p.state.lottery.LotteryCount, c.count);
    EXPECT_EQ(p.state.lottery.LotteryMode, kTrue);
    EXPECT_TRUE(p.form.T_Number.Visible);
    EXPECT_TRUE(p.form.WnW.Visible);
    if (c.counter != nullptr) {
      EXPECT_EQ(tool_value(QStringLiteral("SELECT lottery_counter FROM Wizard_INI")).toString(),
                QLatin1String(c.counter));
    }
  }
}

}  // namespace
}  // namespace vantora::testing
