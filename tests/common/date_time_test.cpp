#include "base/date_time.h"

#include <gtest/gtest.h>

#include <ctime>

namespace vantora {
namespace {

using date_time::from_parts;

// What the scenarios' days never reach: before day zero the fraction runs forward, 1900 has no
// 29 February, a wall clock counts second boundaries crossed, months clamp.
TEST(DateTime, CalendarArithmeticAtItsEdges) {
  using namespace date_time;
  const DateTime before_zero = from_parts(1899, 12, 29, 6);
  const struct {
    const char* what;
    double serial;
    double expected;
  } serials[] = {
      {"1900 has no 29 February", from_parts(1900, 1, 1).value, 2.0},
      {"the reference day", from_parts(2001, 6, 6).value, kReferenceDaySerial},
      {"before day zero", before_zero.value, -1.25},
      {"time of day before day zero", time_of_day(before_zero).value, 0.25},
      {"whole seconds after", double(seconds_between(before_zero, from_parts(1899, 12, 30))),
       18 * 3600},
      {"second boundaries crossed",
       double(seconds_between(from_parts(2026, 1, 1, 10, 0, 0, 900),
                              from_parts(2026, 1, 1, 10, 0, 1, 100))),
       1},
      {"weekday before day zero", double(weekday(from_parts(1899, 12, 29, 12))), 6},
  };
  for (const auto& c : serials) {
    EXPECT_DOUBLE_EQ(c.serial, c.expected) << c.what;
  }
  EXPECT_EQ(to_text(before_zero), QStringLiteral("1899-12-29 06:00:00"));
  EXPECT_EQ(to_text(add_months(from_parts(2026, 1, 31, 8), 1)),
            QStringLiteral("2026-02-28 08:00:00"));
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
