#include "base/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "base/date_time.h"
#include "base/errors.h"
#include "support/schedule_fixture.h"

namespace vantora {
namespace {

using namespace Qt::StringLiterals;

TEST(Values, RoundsHalvesToEven) {
  const struct {
    double in;
    double out;
  } cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},    {3.5, 4},       {-0.5, 0},     {-1.5, -2},
               {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {1799.5, 1800}, {1800.5, 1800}};
  for (const auto& c : cases) {
    EXPECT_EQ(values::round_half_even(c.in), c.out) << c.in;
  }
  EXPECT_EQ(values::to_int16(32767.4), 32767);
  EXPECT_THROW(values::to_int16(32767.5), RuntimeError);  // rounds to 32768
  EXPECT_THROW(values::to_int32(1e12), RuntimeError);
}

// Numbers print with a blank for their sign; Null is neither true nor a number.
TEST(Values, NumberTextsTruthAndNull) {
  EXPECT_EQ(values::number_text(42) + values::number_text(2.5) + values::number_text(-3),
            u" 42 2.5-3"_s);
  EXPECT_EQ(values::int_part(-0.5), -1);
  EXPECT_FALSE(values::is_true(QVariant()));
  EXPECT_TRUE(values::is_true(QVariant(1)));
  EXPECT_TRUE(values::is_true(QVariant(u"True"_s)));
  EXPECT_RUNTIME_ERROR(values::to_double(QVariant()), err::kInvalidUseOfNull);
  EXPECT_RUNTIME_ERROR(values::to_int32(QVariant(u"three"_s)), err::kTypeMismatch);
  EXPECT_EQ(values::to_int16(QVariant(u" 3 "_s)), 3);
}

TEST(Values, StoredDateTimeTexts) {
  const struct {
    const char* text;
    const char* canonical;
  } cases[] = {
      {"2026-12-06 10:15:00", "2026-12-06 10:15:00"},
      {"2026-12-06 10:15:00.5", "2026-12-06 10:15:00.500"},
      {"2026-12-06", "2026-12-06 00:00:00"},
      {"10:15:00", "10:15:00"},
      {"09:59:59.500", "09:59:59.500"},
      {"9:05", "09:05:00"},
      {"2026-02-30 10:00:00", "rejected"},
      {"25:00:00", "rejected"},
      {"", "rejected"},
  };
  for (const auto& c : cases) {
    DateTime parsed;
    const bool ok = values::parse_date_time(QString::fromLatin1(c.text), &parsed);
    EXPECT_EQ(ok ? values::format_date_time(parsed) : u"rejected"_s, c.canonical) << c.text;
  }
  // A time a hair before midnight prints as the next day, with that day's date.
  EXPECT_EQ(values::format_date_time(DateTime(0.99999999988)), u"1899-12-31 00:00:00"_s);
  // A time of day alone lies on day zero; one with a date keeps it.
  EXPECT_EQ(values::to_date_time(QVariant(u"06:00:00"_s)).value, 0.25);
  EXPECT_GT(values::to_date_time(QVariant(u"2001-06-06 06:00:00"_s)).value, 1.0);
  // A stored number of days names a date only on the calendar (years 100 to 9999); past it, as
  // a scheduling tool's garbage may be, it overflows instead of wrapping the millisecond line.
  EXPECT_EQ(values::to_date_time(QVariant(2958465.5)).value, 2958465.5);
  EXPECT_EQ(values::to_date_time(QVariant(-657434.5)).value, -657434.5);
  for (const double days : {2958466.0, -657435.0, 3.5e18, std::nan("")}) {
    EXPECT_RUNTIME_ERROR(values::to_date_time(QVariant(days)), err::kOverflow);
  }
  EXPECT_RUNTIME_ERROR(date_time::add_seconds(DateTime(2958465.0), 86'400.0), err::kOverflow);
  EXPECT_RUNTIME_ERROR(date_time::add_seconds(DateTime(40000.0), 1e300), err::kOverflow);
}

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
  EXPECT_EQ(to_text(before_zero), u"1899-12-29 06:00:00"_s);
  EXPECT_EQ(to_text(add_months(from_parts(2026, 1, 31, 8), 1)), u"2026-02-28 08:00:00"_s);
}

TEST(DateTime, LocalCalendarOnADaylightSavingDay) {
  // 29 March 2026 in Berlin: clocks jump from 02:00 to 03:00. Values are wall-clock time, so an
  // instant just after the jump reads 03:00 and wall-clock arithmetic ignores the lost hour.
  using namespace date_time;
  const QByteArray old_tz = qgetenv("TZ");
  qputenv("TZ", "Europe/Berlin");
  tzset();
  const QDateTime jump = QDateTime::fromSecsSinceEpoch(1774746000);  // 01:00 UTC
  EXPECT_EQ(to_text(from_qdatetime(jump)), u"2026-03-29 03:00:00"_s);
  EXPECT_EQ(to_text(from_qdatetime(jump.addSecs(-1))), u"2026-03-29 01:59:59"_s);
  EXPECT_EQ(seconds_between(from_parts(2026, 3, 29, 1, 30), from_parts(2026, 3, 29, 3, 30)), 7200);
  old_tz.isNull() ? qunsetenv("TZ") : qputenv("TZ", old_tz);
  tzset();
}

}  // namespace
}  // namespace vantora
