#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "app/demo/schedule_rows.h"
#include "base/date_time.h"

namespace vantora::daygen {

namespace demo = platform::demo;

// The shape of a generated day. The defaults are a realistic channel day: about 40 shows of two
// to four segments from half past midnight to half past eleven, 200 ad breaks chosen from a
// catalogue of 5,000 ads of which most are for other days, ten news breaks, 20 daily news items
// and filler for four dayparts. Times of day are in seconds after midnight.
struct DayParameters {
  DateTime date = date_time::from_parts(2026, 12, 7);  // only its date counts
  std::uint32_t seed = 1;
  // Days of shows from `date` on; breaks, news and filler are times of day and recur daily.
  int days = 1;

  int shows = 40;
  int segments_min = 2;
  int segments_max = 4;
  int segment_min_s = 360;
  int segment_max_s = 720;
  // Filler between two shows at least this long, so the breaks inside a show (which push its
  // end back) do not make the next show late.
  int gap_min_s = 600;
  int first_show_s = 30 * 60;
  int programme_end_s = 23 * 3600 + 30 * 60;
  // A later segment starts this far into its file (a recap or an intro skipped).
  int start_offset_max_s = 90;

  int ad_slots = 200;
  int ads_per_break_min = 2;
  int ads_per_break_max = 4;
  int ad_catalogue = 5000;  // rows of `adv` for ads, valid today or not
  int ad_files = 250;
  int ad_min_s = 10;
  int ad_max_s = 30;

  int news_breaks = 10;  // news slots among the breaks
  int daily_news = 20;   // rows of `News`
  int news_clips_max = 3;
  int news_clip_min_s = 20;
  int news_clip_max_s = 45;

  int dayparts = 4;
  int filler_clips = 6;  // per daypart folder, and in the default folder
  int filler_clip_min_s = 60;
  int filler_clip_max_s = 240;

  int break_lead_s = 10;
  // Empty files for every clip, so the folder is a channel the real prober could be pointed at
  // (the lengths come from the manifest all the same).
  bool touch_media_files = true;
};

struct GeneratedSegment {
  QString file;
  DateTime start;  // scheduled
  int start_offset_s = 0;
  int length_s = 0;
  bool show_start = false;
  bool show_end = false;
};

struct GeneratedBreak {
  DateTime at;  // the slot, on the day
  demo::SlotKind kind = demo::SlotKind::kAds;
  QStringList items;  // the files the slot search prepares, in play order
};

struct GeneratedNews {
  DateTime at;
  QString folder;
  QStringList clips;  // in the order the folder lists them
};

// What was written, and what a player of the day is expected to play.
struct GeneratedDay {
  QString folder;
  QString media_durations;  // the manifest for `simulate --media-durations`
  DateTime date;
  std::vector<GeneratedSegment> segments;  // in schedule order, every day's
  std::vector<GeneratedBreak> breaks;      // ad and news breaks of the first day, by time
  std::vector<GeneratedNews> daily_news;   // of the first day, by time
  QStringList filler_folders;              // the dayparts', then the default one
  int catalogue_rows = 0;
  int manifest_entries = 0;

  DateTime first_show() const { return segments.empty() ? date : segments.front().start; }
};

inline const QString kMediaDurationsFile = QStringLiteral("media-durations.tsv");

// Writes the day into `folder`, which must not hold a schedule yet: wizard.db made by init-db's
// schema, the clip folders and the media-durations manifest. The same parameters give the same
// day, byte for byte. Raises a RuntimeError when a file cannot be written.
GeneratedDay generate_day(const QString& folder, const DayParameters& parameters = {});

}  // namespace vantora::daygen
