#include <QRegularExpression>
#include <algorithm>

#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// A day of filler from six in the morning to midnight with the break shape of a channel: ad
// breaks of three items at a quarter past and a quarter to every hour, a news break of two clips
// on the half hour. Every prepared item plays once and is logged once, every break starts within
// one tick of its time and never early, and nothing is logged that the schedule does not explain.
// (Shows join this day once the movie timer ends their segments.)
TEST_F(DayScenario, ADayOfBreaksOverFillerPlaysEveryItemOnceAndOnTime) {
  filler_folder(QStringLiteral("filler"),
                {QStringLiteral("f1.mp4"), QStringLiteral("f2.mp4"), QStringLiteral("f3.mp4")},
                600);
  const QString news = filler_folder(QStringLiteral("news"),
                                     {QStringLiteral("n1.mp4"), QStringLiteral("n2.mp4")}, 40);
  const struct {
    const char* file;
    double length_s;
  } ads[] = {{"/media/ad1.mp4", 30}, {"/media/ad2.mp4", 20}, {"/media/ad3.mp4", 15}};
  std::vector<DateTime> breaks;
  for (int hour = 6; hour < 24; ++hour) {
    for (const int minute : {15, 30, 45}) {
      const QString time =
          QStringLiteral("%1:%2:00").arg(hour, 2, 10, QLatin1Char('0')).arg(minute);
      const bool news_slot = minute == 30;
      add_slot(time, news_slot ? 1 : 0);
      breaks.push_back(at(hour, minute));
      if (news_slot) {
        tool_exec(QStringLiteral("INSERT INTO adv (time, caption, first_date, last_date, "
                                 "media_path, duration, Priority) VALUES ('%1', 'News', "
                                 "'2026-12-01', '2026-12-31', '%2', 40, 1)")
                      .arg(time, news));
        continue;
      }
      for (int i = 0; i < 3; ++i) {
        add_ad(time, QString::fromLatin1(ads[i].file), ads[i].length_s, i + 1);
      }
    }
  }
  simulation(at(5, 59, 0)).runtime().run_until(at(0, 0, 0, 7));

  // Each break's first item: the first one started at or after the slot.
  const std::vector<TracedEvent> media = events("media");
  std::vector<double> late_s;
  for (const DateTime slot : breaks) {
    const auto first = std::find_if(media.begin(), media.end(), [&](const TracedEvent& e) {
      return !(e.at < slot) && e.text("mode") == "filler" &&
             QString::fromStdString(e.text("file")).contains(QRegularExpression("/(ad|n)1"));
    });
    ASSERT_NE(first, media.end()) << date_time::to_iso_ms(slot).toStdString();
    late_s.push_back(seconds_after_start(first->at) - seconds_after_start(slot));
  }
  std::sort(late_s.begin(), late_s.end());
  EXPECT_GE(late_s.front(), 0.0);
  EXPECT_LT(late_s.back(), 0.666);

  // Logged once each: eight items a break, 18 hours of breaks.
  std::size_t break_items = 0;
  for (const TracedEvent& e : media) {
    break_items +=
        QString::fromStdString(e.text("file")).contains(QRegularExpression("/(ad|n)\\d")) ? 1 : 0;
  }
  EXPECT_EQ(break_items, 18U * (3 + 3 + 2));
  EXPECT_EQ(tool_value(QStringLiteral("SELECT COUNT(*) || ' ' || "
                                      "COUNT(DISTINCT seg_start_time || file_name) FROM Played"))
                .toString()
                .toStdString(),
            "144 144");
  // The one line the schedule explains: the cursor finds no show in an empty playlist.
  for (const TracedEvent& e : events("error")) {
    EXPECT_EQ(e.text("procedure") + ' ' + std::to_string(static_cast<int>(e.number("number"))),
              "Get_Next_Slot() 3021");
  }
}

}  // namespace
}  // namespace vantora::testing
