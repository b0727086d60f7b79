#include "base/values.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/errors.h"
#include "support/schedule_fixture.h"

namespace vantora {
namespace {

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
            QStringLiteral(" 42 2.5-3"));
  EXPECT_EQ(values::int_part(-0.5), -1);
  EXPECT_FALSE(values::is_true(QVariant()));
  EXPECT_TRUE(values::is_true(QVariant(1)));
  EXPECT_TRUE(values::is_true(QVariant(QStringLiteral("True"))));
  EXPECT_RUNTIME_ERROR(values::to_double(QVariant()), err::kInvalidUseOfNull);
  EXPECT_RUNTIME_ERROR(values::to_int32(QVariant(QStringLiteral("three"))), err::kTypeMismatch);
  EXPECT_EQ(values::to_int16(QVariant(QStringLiteral(" 3 "))), 3);
}

TEST(Values, StoredDateTimeTexts) {
  const struct {
    const char* text;
    const char* canonical;  // nullptr: rejected
  } cases[] = {
      {"2026-12-06 10:15:00", "2026-12-06 10:15:00"},
      {"2026-12-06 10:15:00.5", "2026-12-06 10:15:00.500"},
      {"2026-12-06", "2026-12-06 00:00:00"},
      {"10:15:00", "10:15:00"},
      {"09:59:59.500", "09:59:59.500"},
      {"9:05", "09:05:00"},
      {"2026-02-30 10:00:00", nullptr},
      {"25:00:00", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    DateTime parsed;
    const bool ok = values::parse_date_time(QString::fromLatin1(c.text), &parsed);
    ASSERT_EQ(ok, c.canonical != nullptr) << c.text;
    if (ok) {
      EXPECT_EQ(values::format_date_time(parsed), QString::fromLatin1(c.canonical)) << c.text;
    }
  }
  // A time a hair before midnight prints as the next day, with that day's date.
  EXPECT_EQ(values::format_date_time(DateTime(0.99999999988)),
            QStringLiteral("1899-12-31 00:00:00"));
  // A time of day alone lies on day zero; one with a date keeps it.
  EXPECT_EQ(values::to_date_time(QVariant(QStringLiteral("06:00:00"))).value, 0.25);
  EXPECT_GT(values::to_date_time(QVariant(QStringLiteral("2001-06-06 06:00:00"))).value, 1.0);
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

}  // namespace
}  // namespace vantora
