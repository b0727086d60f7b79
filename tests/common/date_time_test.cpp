#include "base/date_time.h"

#include <gtest/gtest.h>

#include <ctime>

namespace vantora {
namespace {

using date_time::from_parts;

TEST(DateTime, CalendarArithmeticOnSerialNumbers) {
  using namespace date_time;
  const DateTime before_zero = from_parts(1899, 12, 29, 6);
  const DateTime late = from_parts(2026, 12, 6, 23, 59, 50);
  const struct {
    const char* what;
    double serial;
    double expected;
  } serials[] = {
      {"day zero", from_parts(1899, 12, 30).value, 0.0},
      {"1900 has no 29 February", from_parts(1900, 1, 1).value, 2.0},
      {"the reference day", from_parts(2001, 6, 6).value, kReferenceDaySerial},
      {"noon", from_parts(2026, 12, 6, 12).value, 46362.5},
      {"a time of day alone", from_time_of_day(6, 0, 0).value, 0.25},
      {"before day zero the fraction runs forward", before_zero.value, -1.25},
      {"time of day before day zero", time_of_day(before_zero).value, 0.25},
      {"midnight has no time of day", time_of_day(from_parts(2026, 12, 7)).value, 0.0},
      {"whole seconds after", double(seconds_between(before_zero, from_parts(1899, 12, 30))),
       18 * 3600},
      {"second boundaries crossed, as a wall clock counts",
       double(seconds_between(from_parts(2026, 1, 1, 10, 0, 0, 900),
                              from_parts(2026, 1, 1, 10, 0, 1, 100))),
       1},
      {"Sunday", double(weekday(from_parts(2026, 12, 6))), 1},
      {"weekday before day zero", double(weekday(from_parts(1899, 12, 29, 12))), 6},
  };
  for (const auto& c : serials) {
    EXPECT_DOUBLE_EQ(c.serial, c.expected) << c.what;
  }
  const struct {
    const char* what;
    QString text;
    const char* expected;
  } texts[] = {
      {"before day zero", to_text(before_zero), "1899-12-29 06:00:00"},
      {"date part", to_text(date_part(late)), "2026-12-06 00:00:00"},
      {"on the reference day", to_text(on_reference_day(late)), "2001-06-06 23:59:50"},
      {"past midnight", to_text(add_seconds(late, 20)), "2026-12-07 00:00:10"},
      {"half a second", to_iso_ms(add_seconds(late, 0.5)), "2026-12-06T23:59:50.500"},
      {"truncated", to_iso_ms(truncate_to_second(from_parts(2026, 1, 2, 3, 4, 5, 999))),
       "2026-01-02T03:04:05.000"},
      {"a month on, clamped", to_text(add_months(from_parts(2026, 1, 31, 8), 1)),
       "2026-02-28 08:00:00"},
  };
  for (const auto& c : texts) {
    EXPECT_EQ(c.text, QString::fromLatin1(c.expected)) << c.what;
  }
}

TEST(DateTime, LocalCalendarOnADaylightSavingDay) {
  // 29 March 2026 in Berlin: clocks jump from 02:00 to 03:00. Values are wall-clock time, so an
  // instant just after the jump reads 03:00 and wall-clock arithmetic ignores the lost hour.
  const QByteArray old_tz = qgetenv("TZ");
  qputenv("TZ", "Europe/Berlin");
  tzset();
  const QDateTime jump = QDateTime::fromSecsSinceEpoch(1774746000);  // 01:00 UTC
  EXPECT_EQ(date_time::to_text(date_time::from_qdatetime(jump)),
            QStringLiteral("2026-03-29 03:00:00"));
  EXPECT_EQ(date_time::to_text(date_time::from_qdatetime(jump.addSecs(-1))),
            QStringLiteral("2026-03-29 01:59:59"));
  EXPECT_EQ(
      date_time::seconds_between(from_parts(2026, 3, 29, 1, 30), from_parts(2026, 3, 29, 3, 30)),
      7200);
  if (old_tz.isNull()) {
    qunsetenv("TZ");
  } else {
    qputenv("TZ", old_tz);
  }
  tzset();
}

}  // namespace
}  // namespace vantora
