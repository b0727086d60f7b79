#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantora::soak {

// One row of `playlist` or `Played` as stored, read beside the running player on a connection
// of its own. Times are milliseconds since the epoch of the stored local text, read without the
// player's own date code, so that the checks do not share its mistakes.
struct StoredSegment {
  std::int64_t rowid = 0;
  std::int64_t start_ms = 0;
  std::int64_t end_ms = 0;
  QString start_text;
  QString file;
  std::optional<double> start_offset;
  std::optional<double> end_offset;
  bool started = false;
  bool completed = false;
  bool show_start = false;
  bool show_end = false;
  std::optional<double> saved_position;
  QVariantList cells;  // every column, for the check that nothing else was written

  // The segment a log row copies: its time, file and offsets.
  QString identity() const;
};

// "2026-12-07 10:15:00" or "2026-12-07T10:15:00.500" as milliseconds on a plain time line.
std::int64_t local_ms(const QString& text);

class ScheduleReader {
 public:
  explicit ScheduleReader(const QString& data_folder);
  ~ScheduleReader();
  ScheduleReader(const ScheduleReader&) = delete;
  ScheduleReader& operator=(const ScheduleReader&) = delete;

  std::vector<StoredSegment> rows(const char* table);  // in rowid order
  int start_tolerance_s();
  QString integrity();  // "ok" when the file is sound

 private:
  QString connection_;
};

}  // namespace vantora::soak
