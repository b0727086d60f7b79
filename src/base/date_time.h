#pragma once

#include <QDateTime>
#include <QString>
#include <compare>
#include <cstdint>

namespace vantora {

// A calendar date-time: days since 1899-12-30, the fraction being the time of day. Stored data,
// the play log and every comparison of the scheduler use this one representation.
//
// Before day zero the classic convention holds: the whole part counts days back and the
// fraction still runs forward inside that day (-1.25 is 1899-12-29 06:00). Only times of day
// stored alone come near day zero, so this matters for correctness of conversions, not for use.
struct DateTime {
  double value = 0.0;

  constexpr DateTime() = default;
  constexpr explicit DateTime(double days) : value(days) {}

  friend constexpr auto operator<=>(DateTime, DateTime) = default;
};

inline constexpr std::int64_t kMsPerDay = 86'400'000;
inline constexpr std::int64_t kSecondsPerDay = 86'400;

// The fixed day on which two times of day are compared: 6 June 2001.
inline constexpr double kReferenceDaySerial = 37048.0;

// The calendar a date-time can hold: 1 January 100 to the end of 31 December 9999. A stored
// number of days outside it names no date and raises an overflow.
inline constexpr double kFirstDaySerial = -657434.0;
inline constexpr double kAfterLastDaySerial = 2958466.0;

namespace date_time {

// Whether a value lies on the calendar; only such values may be turned into milliseconds.
bool on_calendar(DateTime value);

DateTime from_parts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                    int millisecond = 0);
DateTime from_time_of_day(int hour, int minute, int second, int millisecond = 0);

// Local calendar time, millisecond resolution. An invalid QDateTime gives day zero.
DateTime from_qdatetime(const QDateTime& local);
QDateTime to_qdatetime(DateTime value);

// Milliseconds on a linear time line whose zero is 1899-12-30 00:00, rounded to the nearest ms.
std::int64_t to_linear_ms(DateTime value);
DateTime from_linear_ms(std::int64_t ms);

// The whole days of a value (its date) and what is left (its time of day, on day zero).
DateTime date_part(DateTime value);
DateTime time_of_day(DateTime value);

// A time of day placed on the reference day, and the reference day's end, 23:59:59.
DateTime on_reference_day(DateTime value);
DateTime reference_day_end();

// Raises err::kOverflow when the moment leaves the calendar.
DateTime add_seconds(DateTime value, double seconds);
DateTime add_months(DateTime value, int months);

// Whole seconds from `from` to `to`, negative when `to` is earlier. Each moment is first cut to
// its whole second, so the answer counts second boundaries crossed, as a wall clock would.
std::int64_t seconds_between(DateTime from, DateTime to);

// Cuts a value down to its whole second: "now" is always read to the second.
DateTime truncate_to_second(DateTime value);

// 1 = Sunday .. 7 = Saturday.
int weekday(DateTime value);

// "2026-12-06T10:00:00.000": the trace's timestamps.
QString to_iso_ms(DateTime value);
// "2026-12-06 10:00:00": the error log's and the database's full form.
QString to_text(DateTime value);

}  // namespace date_time
}  // namespace vantora
