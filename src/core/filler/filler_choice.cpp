#include "core/filler/filler_choice.h"

#include <cmath>
#include <random>

#include "core/database/columns.h"
#include "core/scheduler/schedule_clock.h"
#include "core/shell/procedure.h"

namespace vantora::filler {
namespace {

// Times of day compared on the millisecond grid, so a row starting at 22:00:00 holds at
// 22:00:00 whatever the rounding of the stored day fractions.
std::int64_t fraction_ms(double day_fraction) {
  return std::llround(day_fraction * static_cast<double>(kMsPerDay));
}

double day_fraction(const QVariant& stored) {
  const double value = values::to_date_time(stored).value;
  return value - std::floor(value);
}

enum class DayRule { kToday, kAnyDay };

// One pass over the rows; true when it stopped on a row that applies.
bool scan(Player& p, Procedure& proc, DayRule rule) {
  db::Recordset& rs = p.data.rsfiller;
  PlayerState& s = p.state;
  proc([&] { rs.requery(); });
  proc([&] {
    if (!rs.bof()) {
      rs.move_first();
    }
  });

  const DateTime now = schedule_clock::now(p.runtime);
  const std::int64_t now_ms = fraction_ms(date_time::time_of_day(now).value);
  const int wanted_day = rule == DayRule::kToday ? date_time::weekday(now) : 0;
  while (!at_end(proc, rs, Unreadable::kAsTrue)) {
    p.runtime.yield();
    proc([&] { s.filler.FillerFrom = day_fraction(rs.field(db::col::filler::kStartTime)); });
    proc([&] { s.filler.FillerUntil = day_fraction(rs.field(db::col::filler::kEndTime)); });
    if (s.filler.FillerUntil < s.filler.FillerFrom) {
      s.filler.FillerUntil = s.filler.FillerFrom + 1.0;
    }
    const bool window_holds =
        now_ms >= fraction_ms(s.filler.FillerFrom) && now_ms < fraction_ms(s.filler.FillerUntil);
    bool applies = false;
    if (window_holds) {
      proc(
          [&] { applies = values::to_int32(rs.field(db::col::filler::kDayOfWeek)) == wanted_day; });
    }
    if (applies) {
      return true;
    }
    proc([&] { rs.move_next(); });
  }
  return false;
}

}  // namespace

std::optional<QString> choose_folder(Player& p, Procedure& proc) {
  if (!scan(p, proc, DayRule::kToday) && !scan(p, proc, DayRule::kAnyDay)) {
    return std::nullopt;
  }
  std::optional<QString> folder;
  // A folder that cannot be read counts as a row with an unusable folder.
  if (!proc(
          [&] { folder = values::to_text(p.data.rsfiller.field(db::col::filler::kFolderPath)); })) {
    return QString();
  }
  return folder;
}

int pick_index(int clips_left, float r) {
  const float place = static_cast<float>(clips_left - 1) * r;
  return static_cast<int>(std::floor(place));
}

float draw_from_clock(const ports::Runtime& runtime) {
  std::mt19937 generator(
      static_cast<std::mt19937::result_type>(date_time::to_linear_ms(runtime.now())));
  // 24 random bits make a float strictly below 1.
  return static_cast<float>(generator() >> 8) / static_cast<float>(1U << 24);
}

}  // namespace vantora::filler
