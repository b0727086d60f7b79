#pragma once

#include <QString>
#include <vector>

#include "base/date_time.h"
#include "ports/table_store.h"

namespace vantora::platform::demo {

// One row for a table, its cells as the player reads them (dates as DateTime, flags as bools
// made 16-bit); the writer encodes them in the column's storage format.
struct RowSpec {
  QString table;
  std::vector<ports::CellValue> cells;
};

// One playlist row: a segment of `file` from `start_offset_s`, scheduled from `start`.
struct Segment {
  QString file;
  QString caption;
  QString title;
  DateTime start;
  int start_offset_s = 0;
  int length_s = 0;
  int picture_top = 0;
  int picture_height = 0;
  QString logo_file;
  double logo_left = 0;
  double logo_top = 0;
  bool show_start = false;
  bool show_end = false;
};

// An `adv` row: an ad at a break slot's time of day, or a news item whose clips are a folder.
struct BreakItem {
  QString name;
  DateTime time_of_day;
  QString caption;
  DateTime first_date;
  DateTime last_date;
  QString media_path;  // a file for an ad, a folder for a news item
  QString kind;
  int duration_s = 0;
  bool ad_flag = false;
  int priority = 0;
};

// A `Slot_adv` row's kinds.
enum class SlotKind { kAds = 0, kNews = 1 };

RowSpec playlist_row(const Segment& segment);
RowSpec adv_row(const BreakItem& item);
RowSpec slot_row(const QString& name, DateTime time_of_day, SlotKind kind);
RowSpec news_row(const QString& name, DateTime time_of_day, const QString& folder);
RowSpec filler_row(const QString& folder, DateTime from, DateTime until, const QString& note,
                   int day_of_week);

// A new schedule made by init-db's schema in `folder`, its `Player INI` row changed by
// `player_ini` and `rows` appended in order. Raises a RuntimeError when it cannot.
void write_schedule(const QString& folder, const std::vector<ports::CellValue>& player_ini,
                    const std::vector<RowSpec>& rows);

}  // namespace vantora::platform::demo
