#include "base/date_time.h"

#include <gtest/gtest.h>

#include <ctime>

namespace vantora {
namespace {

using date_time::from_parts;
using date_time::from_time_of_day;

TEST(DateTime, SerialNumbersMatchTheClassicCalendar) {
  EXPECT_DOUBLE_EQ(from_parts(1899, 12, 30).value, 0.0);
  EXPECT_DOUBLE_EQ(from_parts(1900, 1, 1).value, 2.0);
  EXPECT_DOUBLE_EQ(from_parts(2001, 6, 6).value, kReferenceDaySerial);
  EXPECT_DOUBLE_EQ(from_parts(2026, 12, 6, 12).value, 46362.5);
  EXPECT_DOUBLE_EQ(from_time_of_day(6, 0, 0).value, 0.25);
}

TEST(DateTime, BeforeDayZeroTheFractionRunsForward) {
  const DateTime value = from_parts(1899, 12, 29, 6);
  EXPECT_DOUBLE_EQ(value.value, -1.25);
  EXPECT_EQ(date_time::to_text(value), QStringLiteral("1899-12-29 06:00:00"));
  EXPECT_DOUBLE_EQ(date_time::time_of_day(value).value, 0.25);
  EXPECT_EQ(date_time::seconds_between(value, from_parts(1899, 12, 30)), 18 * 3600);
}

TEST(DateTime, DatePartAndTimeOfDay) {
  const DateTime value = from_parts(2026, 12, 6, 23, 59, 59);
  EXPECT_EQ(date_time::date_part(value), from_parts(2026, 12, 6));
  EXPECT_EQ(date_time::to_linear_ms(date_time::time_of_day(value)),
            date_time::to_linear_ms(from_time_of_day(23, 59, 59)));
  EXPECT_EQ(date_time::time_of_day(from_parts(2026, 12, 7)).value, 0.0);
}

TEST(DateTime, ReferenceDay) {
  const DateTime placed = date_time::on_reference_day(from_parts(2026, 12, 6, 18, 30));
  EXPECT_EQ(date_time::to_text(placed), QStringLiteral("2001-06-06 18:30:00"));
  EXPECT_EQ(date_time::to_text(date_time::reference_day_end()),
            QStringLiteral("2001-06-06 23:59:59"));
  EXPECT_LT(placed, date_time::reference_day_end());
}

TEST(DateTime, AddingSecondsCrossesMidnightBothWays) {
  const DateTime late = from_parts(2026, 12, 6, 23, 59, 50);
  EXPECT_EQ(date_time::to_text(date_time::add_seconds(late, 20)),
            QStringLiteral("2026-12-07 00:00:10"));
  EXPECT_EQ(date_time::to_text(date_time::add_seconds(from_parts(2026, 12, 7), -1)),
            QStringLiteral("2026-12-06 23:59:59"));
  EXPECT_EQ(date_time::to_iso_ms(date_time::add_seconds(late, 0.5)),
            QStringLiteral("2026-12-06T23:59:50.500"));
}

TEST(DateTime, WholeSecondDifferencesHaveBothSigns) {
  const DateTime a = from_parts(2026, 12, 6, 10, 0, 0);
  const DateTime b = from_parts(2026, 12, 6, 10, 30, 0);
  EXPECT_EQ(date_time::seconds_between(a, b), 1800);
  EXPECT_EQ(date_time::seconds_between(b, a), -1800);
  EXPECT_EQ(date_time::seconds_between(a, a), 0);
  // Second boundaries crossed, as a wall clock counts them.
  EXPECT_EQ(date_time::seconds_between(from_parts(2026, 12, 6, 10, 0, 0, 900),
                                       from_parts(2026, 12, 6, 10, 0, 1, 100)),
            1);
  EXPECT_EQ(
      date_time::seconds_between(from_parts(2026, 12, 6, 23, 59, 59), from_parts(2026, 12, 7)), 1);
}

TEST(DateTime, TruncatesToTheSecond) {
  EXPECT_EQ(
      date_time::to_iso_ms(date_time::truncate_to_second(from_parts(2026, 1, 2, 3, 4, 5, 999))),
      QStringLiteral("2026-01-02T03:04:05.000"));
}

TEST(DateTime, AddMonthsClampsToTheMonthEnd) {
  EXPECT_EQ(date_time::to_text(date_time::add_months(from_parts(2026, 1, 31, 8), 1)),
            QStringLiteral("2026-02-28 08:00:00"));
  EXPECT_EQ(date_time::to_text(date_time::add_months(from_parts(2026, 3, 15), -1)),
            QStringLiteral("2026-02-15 00:00:00"));
}

TEST(DateTime, Weekday) {
  EXPECT_EQ(date_time::weekday(from_parts(2026, 12, 6)), 1);   // a Sunday
  EXPECT_EQ(date_time::weekday(from_parts(2026, 12, 12)), 7);  // a Saturday
  EXPECT_EQ(date_time::weekday(from_parts(1899, 12, 30)), 7);
  EXPECT_EQ(date_time::weekday(from_parts(1899, 12, 29, 12)), 6);
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
  // A value inside the gap still prints as what it says.
  EXPECT_EQ(date_time::to_text(from_parts(2026, 3, 29, 2, 30)),
            QStringLiteral("2026-03-29 02:30:00"));
  if (old_tz.isNull()) {
    qunsetenv("TZ");
  } else {
    qputenv("TZ", old_tz);
  }
  tzset();
}

}  // namespace
}  // namespace vantora
