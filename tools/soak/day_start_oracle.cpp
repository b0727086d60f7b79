#include "tools/soak/day_start_oracle.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantora::soak {
namespace {

constexpr std::int64_t kNoNextShowS = 9999;

std::int64_t ms_of(double seconds) {
  return std::llround(seconds * 1000.0);
}

// The first started row stopped more than 5 s before its end whose played time plus the
// tolerance still reaches the moment, and which did begin before it.
const StoredSegment* interrupted_row(const std::vector<StoredSegment>& rows, std::int64_t now_ms,
                                     int tolerance_s) {
  for (const StoredSegment& row : rows) {
    if (!row.started || !row.saved_position || !row.end_offset ||
        !(*row.end_offset > *row.saved_position + 5.0)) {
      continue;
    }
    const double played_s = *row.saved_position - row.start_offset.value_or(0.0);
    if (row.start_ms + ms_of(played_s + tolerance_s) >= now_ms && now_ms > row.start_ms) {
      return &row;
    }
  }
  return nullptr;
}

// Seconds from the end of the interrupted show to the start of the next one. The show's end is
// the last show-end row met before the next show's first row; a fresh player knows no earlier
// end than the zero date.
double gap_to_next_show(const std::vector<StoredSegment>& rows, std::size_t interrupted) {
  std::int64_t show_end_ms = std::numeric_limits<std::int64_t>::min() / 4;
  std::size_t i = interrupted;
  if (rows[i].show_end) {
    show_end_ms = rows[i].end_ms;
  }
  if (rows[i].show_start) {
    ++i;
  }
  for (; i < rows.size(); ++i) {
    if (rows[i].show_start) {
      return static_cast<double>(rows[i].start_ms - show_end_ms) / 1000.0;
    }
    if (rows[i].show_end) {
      show_end_ms = rows[i].end_ms;
    }
  }
  return kNoNextShowS;
}

}  // namespace

std::vector<StoredSegment> after_purge(const std::vector<StoredSegment>& rows) {
  std::vector<StoredSegment> kept;
  for (const StoredSegment& row : rows) {
    if (!(row.started && row.completed)) {
      kept.push_back(row);
    }
  }
  return kept;
}

ExpectedStart expect_day_start(std::vector<StoredSegment> rows, std::int64_t decided_ms,
                               int start_tolerance_s) {
  std::stable_sort(rows.begin(), rows.end(), [](const StoredSegment& a, const StoredSegment& b) {
    return a.start_ms < b.start_ms;
  });
  const std::int64_t now_ms = decided_ms - decided_ms % 1000;
  if (const StoredSegment* row = interrupted_row(rows, now_ms, start_tolerance_s)) {
    // The resume point rounds half to even, as the player's whole seconds do.
    const double resume_s = std::nearbyint(*row->saved_position + 5.0);
    const double lag_s = static_cast<double>(now_ms - row->start_ms) / 1000.0 -
                         (resume_s - row->start_offset.value_or(0.0));
    const double gap_s = gap_to_next_show(rows, static_cast<std::size_t>(row - rows.data()));
    if (start_tolerance_s + gap_s <= lag_s) {
      return {QStringLiteral("UnRecoverable"), row->rowid, 0.0};
    }
    return {QStringLiteral("Intrupted"), row->rowid, resume_s};
  }
  for (const StoredSegment& row : rows) {
    if (row.show_start && now_ms >= row.start_ms &&
        now_ms <= row.start_ms + std::int64_t{start_tolerance_s} * 1000 && now_ms < row.end_ms) {
      return {QStringLiteral("Normal"), row.rowid, row.start_offset.value_or(0.0)};
    }
  }
  return {QStringLiteral("UnIntrupted"), 0, 0.0};
}

}  // namespace vantora::soak
