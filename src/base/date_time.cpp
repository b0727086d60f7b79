#include "base/date_time.h"

#include <cmath>

#include "base/errors.h"

namespace vantora::date_time {
namespace {

// Constant-initialised, so globals of other files may use the conversions during their own
// initialisation (their order across files is not fixed).
constexpr QDate kDayZero = QDate::fromJulianDay(2415019);  // 1899-12-30

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) {
    --q;
  }
  return q;
}

}  // namespace

std::int64_t to_linear_ms(DateTime value) {
  const double whole = std::trunc(value.value);
  const double fraction = std::fabs(value.value - whole);
  return std::llround(whole * static_cast<double>(kMsPerDay)) +
         std::llround(fraction * static_cast<double>(kMsPerDay));
}

DateTime from_linear_ms(std::int64_t ms) {
  const std::int64_t days = floor_div(ms, kMsPerDay);
  const double fraction =
      static_cast<double>(ms - days * kMsPerDay) / static_cast<double>(kMsPerDay);
  const double whole = static_cast<double>(days);
  return DateTime(days < 0 ? whole - fraction : whole + fraction);
}

DateTime from_parts(int year, int month, int day, int hour, int minute, int second,
                    int millisecond) {
  const QDate date(year, month, day);
  const std::int64_t days = kDayZero.daysTo(date);
  const std::int64_t ms_of_day =
      ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
  return from_linear_ms(days * kMsPerDay + ms_of_day);
}

DateTime from_time_of_day(int hour, int minute, int second, int millisecond) {
  return from_parts(1899, 12, 30, hour, minute, second, millisecond);
}

DateTime from_qdatetime(const QDateTime& local) {
  if (!local.isValid()) {
    return DateTime();
  }
  const QDateTime as_local = local.toLocalTime();
  const QTime time = as_local.time();
  return from_parts(as_local.date().year(), as_local.date().month(), as_local.date().day(),
                    time.hour(), time.minute(), time.second(), time.msec());
}

QDateTime to_qdatetime(DateTime value) {
  const std::int64_t ms = to_linear_ms(value);
  const std::int64_t days = floor_div(ms, kMsPerDay);
  const auto ms_of_day = static_cast<int>(ms - days * kMsPerDay);
  return QDateTime(kDayZero.addDays(days), QTime::fromMSecsSinceStartOfDay(ms_of_day));
}

DateTime date_part(DateTime value) {
  return DateTime(std::trunc(value.value));
}

DateTime time_of_day(DateTime value) {
  return DateTime(std::fabs(value.value - std::trunc(value.value)));
}

DateTime on_reference_day(DateTime value) {
  return DateTime(kReferenceDaySerial + time_of_day(value).value);
}

DateTime reference_day_end() {
  return from_linear_ms(static_cast<std::int64_t>(kReferenceDaySerial) * kMsPerDay +
                        (kSecondsPerDay - 1) * 1000);
}

bool on_calendar(DateTime value) {
  // Negative serials count whole days back and the fraction forward, so -1.5 is 1899-12-29 12:00
  // and the first day's serial reaches down to -657434.99...
  return std::isfinite(value.value) && value.value > kFirstDaySerial - 1.0 &&
         value.value < kAfterLastDaySerial;
}

DateTime add_seconds(DateTime value, double seconds) {
  // Checked before the arithmetic: a huge offset would overflow the millisecond line itself.
  constexpr double kCalendarSpanS = (kAfterLastDaySerial - kFirstDaySerial + 1.0) * 86'400.0;
  if (!on_calendar(value) || !(std::fabs(seconds) < kCalendarSpanS)) {
    throw RuntimeError(err::kOverflow);
  }
  const DateTime moved = from_linear_ms(to_linear_ms(value) + std::llround(seconds * 1000.0));
  if (!on_calendar(moved)) {
    throw RuntimeError(err::kOverflow);
  }
  return moved;
}

DateTime add_months(DateTime value, int months) {
  const QDateTime moved = to_qdatetime(value).addMonths(months);
  const std::int64_t days = kDayZero.daysTo(moved.date());
  return from_linear_ms(days * kMsPerDay + moved.time().msecsSinceStartOfDay());
}

std::int64_t seconds_between(DateTime from, DateTime to) {
  return floor_div(to_linear_ms(to), 1000) - floor_div(to_linear_ms(from), 1000);
}

DateTime truncate_to_second(DateTime value) {
  return from_linear_ms(floor_div(to_linear_ms(value), 1000) * 1000);
}

int weekday(DateTime value) {
  // Day zero, 1899-12-30, was a Saturday (7).
  const std::int64_t days = floor_div(to_linear_ms(value), kMsPerDay);
  const std::int64_t offset = ((days % 7) + 7) % 7;
  return static_cast<int>((offset + 6) % 7) + 1;
}

// Formatting goes through the wall-clock parts, never through the zone: a value inside a
// daylight-saving gap still prints as what it says.
namespace {
QString format_parts(DateTime value, const QString& date_format, const QString& time_format,
                     const QString& separator) {
  const std::int64_t ms = to_linear_ms(value);
  const std::int64_t days = floor_div(ms, kMsPerDay);
  const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms - days * kMsPerDay));
  return kDayZero.addDays(days).toString(date_format) + separator + time.toString(time_format);
}
}  // namespace

QString to_iso_ms(DateTime value) {
  return format_parts(value, QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss.zzz"),
                      QStringLiteral("T"));
}

QString to_text(DateTime value) {
  return format_parts(value, QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss"),
                      QStringLiteral(" "));
}

}  // namespace vantora::date_time
