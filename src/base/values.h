#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

#include "base/date_time.h"

namespace vantora {

// Booleans of the player state and of the schedule are 16-bit: True is -1, False is 0.
using Bool16 = std::int16_t;
inline constexpr Bool16 kTrue = -1;
inline constexpr Bool16 kFalse = 0;

constexpr Bool16 to_bool16(bool value) {
  return value ? kTrue : kFalse;
}

namespace values {

// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4), as every conversion of a number to
// a whole number does.
double round_half_even(double value);

// Whole-number conversions with that rounding; out of range is error 6 (Overflow).
std::int16_t to_int16(double value);
std::int32_t to_int32(double value);

// The largest whole number not above the value: what Int() gives for a duration.
double int_part(double value);

// A number as text the classic way: a leading blank for a non-negative number (" 0", " 42",
// " 2.5"), a minus sign otherwise ("-3").
QString number_text(double value);

// Conversions of a stored or computed value. Null is error 94 (Invalid use of Null) wherever a
// value is needed; a text that is not a number is error 13 (Type mismatch).
bool is_null(const QVariant& value);
// Null counts as not True; any non-zero number is True; "True"/"False" texts convert.
bool is_true(const QVariant& value);
double to_double(const QVariant& value);
std::int16_t to_int16(const QVariant& value);
std::int32_t to_int32(const QVariant& value);
QString to_text(const QVariant& value);
DateTime to_date_time(const QVariant& value);

// A date-time as the schedule stores it: "YYYY-MM-DD HH:MM:SS[.SSS]", or "HH:MM:SS[.SSS]" for a
// time of day alone (day zero). Returns false when the text is neither.
bool parse_date_time(const QString& text, DateTime* out);
// Writes the full form; a value on day zero is written as its time of day alone.
QString format_date_time(DateTime value);

}  // namespace values
}  // namespace vantora

Q_DECLARE_METATYPE(vantora::DateTime)
