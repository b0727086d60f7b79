#include <cmath>

#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// Breaks prepared by the slot search from the tool's adv and Slot_adv rows, played by the ad
// timer on the whole simulated program.
class AdBreakScenario : public DayScenario {
 protected:
  void add_ad(const char* time, const QString& file, double length_s, int priority) {
    tool_exec(QStringLiteral("INSERT INTO adv (item_name, time, caption, first_date, last_date, "
                             "media_path, duration, hide_caption, ad_flag, Priority) VALUES "
                             "('ad', '%1', 'Ad', '2026-12-01 00:00:00', '2026-12-31 00:00:00', "
                             "'%2', %3, 0, -1, %4)")
                  .arg(QString::fromLatin1(time), file)
                  .arg(length_s)
                  .arg(priority));
    media(file, length_s);
  }
  void add_slot(const char* time) {
    tool_exec(QStringLiteral("INSERT INTO Slot_adv (slot_name, time, slot_kind) VALUES "
                             "('break', '%1', 0)")
                  .arg(QString::fromLatin1(time)));
  }

  // "12:34:56.789 KEYS" for each key string sent, from `from` on.
  std::vector<std::string> keys_from(DateTime from) {
    std::vector<std::string> sent;
    for (const TracedEvent& e : events("keys")) {
      if (!(e.at < from)) {
        sent.push_back(date_time::to_iso_ms(e.at).mid(11).toStdString() + ' ' + e.text("keys"));
      }
    }
    return sent;
  }

  std::vector<std::string> played_files() {
    std::vector<std::string> files;
    QSqlQuery query(tool());
    EXPECT_TRUE(query.exec(QStringLiteral("SELECT file_name FROM Played ORDER BY rowid")));
    while (query.next()) {
      files.push_back(query.value(0).toString().toStdString());
    }
    return files;
  }
};

// The document's example: two ads at 10:15:00 with a lead time of 10 s over a movie begun at
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

  const std::vector<std::string> keys = keys_from(at(10, 14, 45));
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
  QSqlQuery row(tool());
  ASSERT_TRUE(row.exec(QStringLiteral(
      "SELECT started, completed, reserved_17, logo_file, logo_left, logo_top, end_offset, "
      "picture_height, seg_start_time FROM Played ORDER BY rowid")));
  ASSERT_TRUE(row.next());
  EXPECT_EQ(row.value(0).toInt(), 0);
  EXPECT_EQ(row.value(1).toInt(), 0);
  for (int column = 2; column <= 5; ++column) {
    EXPECT_TRUE(row.value(column).isNull()) << column;
  }
  EXPECT_EQ(row.value(6).toInt(), 30);
  EXPECT_EQ(row.value(7).toInt(), 600);
  EXPECT_TRUE(row.value(8).toString().contains(QStringLiteral("10:15:00")));

  Player& p = player();
  EXPECT_EQ(p.state.breaks.InAdBreak, kFalse);
  EXPECT_EQ(p.form.Text3.Text.get(), QStringLiteral("Movie"));
  // Two ads: the second found the logo timer already held, so the movie does not turn it on
  // from LogoTimerWasOn; its "NO" logo turns it on all the same.
  EXPECT_EQ(p.state.saved.LogoTimerWasOn, kFalse);
  EXPECT_TRUE(events("error").empty());
}

}  // namespace
}  // namespace vantora::testing
