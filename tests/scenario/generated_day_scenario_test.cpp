#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>

#include "sim/simulation.h"
#include "support/trace_lines.h"
#include "tools/daygen/day_generator.h"

namespace vantora::testing {
namespace {

// An evening of the channel's schedule shape, generated: shows of two to four segments, ad
// breaks of several ads chosen from a catalogue mostly of other days' ads, news breaks, daily
// news and filler by daypart, from 21:00 to midnight. Every segment starts at its offset and is
// logged once, every prepared break item and news clip plays once, every break starts within one
// ad tick of its time and never early, and nothing is logged that the schedule does not explain.
TEST(GeneratedDay, AnEveningOfShowsBreaksNewsAndFillerRunsToMidnight) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const daygen::GeneratedDay day =
      daygen::generate_day(folder.path(), {.shows = 3,
                                           .first_show_s = 21 * 3600 + 5 * 60,
                                           .programme_end_s = 23 * 3600 + 50 * 60,
                                           .ad_slots = 8,
                                           .ad_catalogue = 400,
                                           .ad_files = 30,
                                           .news_breaks = 2,
                                           .daily_news = 2,
                                           .filler_clips = 4});

  sim::SimulationOptions options;
  options.data_folder = day.folder;
  options.start = date_time::add_seconds(day.date, 21 * 3600);
  options.trace_path = folder.filePath("trace.jsonl");
  options.media_durations_path = day.media_durations;
  options.schedule_sharing = platform::SqliteScheduleStore::Sharing::kPrivate;
  {
    sim::Simulation simulation(options);
    ASSERT_TRUE(simulation.start());
    simulation.run_for_ms(3 * 3600 * 1000);
  }
  const std::vector<TracedEvent> media = read_events(options.trace_path, "media");
  const auto first_start = [&media](const QString& file, DateTime not_before) {
    return std::find_if(media.begin(), media.end(), [&](const TracedEvent& e) {
      return !(e.at < not_before) && QString::fromStdString(e.text("file")) == file;
    });
  };
  const auto starts_of = [&media](const QString& file) {
    return std::count_if(media.begin(), media.end(), [&](const TracedEvent& e) {
      return QString::fromStdString(e.text("file")) == file;
    });
  };

  // Segments in schedule order, each first started at its offset.
  auto previous = media.begin();
  for (const daygen::GeneratedSegment& segment : day.segments) {
    const auto started = first_start(segment.file, day.date);
    ASSERT_NE(started, media.end()) << segment.file.toStdString();
    EXPECT_EQ(started->number("start"), segment.start_offset_s) << segment.file.toStdString();
    EXPECT_GE(started - previous, 0) << segment.file.toStdString();
    previous = started;
  }
  // Each break's items once, in order, the first within one ad tick of the slot.
  std::vector<std::int64_t> break_late_ms;
  for (const daygen::GeneratedBreak& b : day.breaks) {
    DateTime after = b.at;
    for (const QString& item : b.items) {
      const auto started = first_start(item, after);
      ASSERT_NE(started, media.end())
          << item.toStdString() << " after " << qPrintable(date_time::to_text(b.at));
      if (item == b.items.front()) {
        break_late_ms.push_back(date_time::to_linear_ms(started->at) -
                                date_time::to_linear_ms(b.at));
      }
      after = started->at;
    }
  }
  std::sort(break_late_ms.begin(), break_late_ms.end());
  ASSERT_EQ(break_late_ms.size(), day.breaks.size());
  EXPECT_GE(break_late_ms.front(), 0);
  EXPECT_LT(break_late_ms.back(), 666);
  for (const daygen::GeneratedNews& news : day.daily_news) {
    for (const QString& clip : news.clips) {
      EXPECT_EQ(starts_of(clip), 1) << clip.toStdString();
      EXPECT_NE(first_start(clip, news.at), media.end()) << clip.toStdString();
    }
  }

  // Played: each segment once; each break item once for its break.
  std::size_t expected_rows = day.segments.size();
  for (const daygen::GeneratedBreak& b : day.breaks) {
    expected_rows += static_cast<std::size_t>(b.items.size());
  }
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "day");
    db.setDatabaseName(folder.filePath("wizard.db"));
    ASSERT_TRUE(db.open());
    QSqlQuery query(
        "SELECT COUNT(*) || ' ' || COUNT(DISTINCT seg_start_time || file_name) FROM Played", db);
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toString().toStdString(),
              std::to_string(expected_rows) + ' ' + std::to_string(expected_rows));
  }
  QSqlDatabase::removeDatabase("day");
  EXPECT_TRUE(read_events(options.trace_path, "error").empty());
}

}  // namespace
}  // namespace vantora::testing
