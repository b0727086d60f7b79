#include "base/values.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

#include "base/errors.h"

namespace vantora::values {

double round_half_even(double value) {
  if (!std::isfinite(value)) {
    return value;
  }
  const double floor_value = std::floor(value);
  const double diff = value - floor_value;
  if (diff > 0.5) {
    return floor_value + 1.0;
  }
  if (diff < 0.5) {
    return floor_value;
  }
  return std::fmod(floor_value, 2.0) == 0.0 ? floor_value : floor_value + 1.0;
}

namespace {

template <typename Int>
Int rounded_in_range(double value) {
  const double rounded = round_half_even(value);
  if (!std::isfinite(rounded) || rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    throw RuntimeError(err::kOverflow);
  }
  return static_cast<Int>(rounded);
}

const QVariant& require_value(const QVariant& value) {
  if (is_null(value)) {
    throw RuntimeError(err::kInvalidUseOfNull);
  }
  return value;
}

}  // namespace

std::int16_t to_int16(double value) {
  return rounded_in_range<std::int16_t>(value);
}
std::int32_t to_int32(double value) {
  return rounded_in_range<std::int32_t>(value);
}

double int_part(double value) {
  return std::floor(value);
}

QString number_text(double value) {
  QString text = QString::number(value, 'g', 15);
  if (value >= 0.0 || std::isnan(value)) {
    text.prepend(QLatin1Char(' '));
  }
  return text;
}

bool is_null(const QVariant& value) {
  return !value.isValid() || value.isNull();
}

bool is_true(const QVariant& value) {
  if (is_null(value)) {
    return false;
  }
  if (value.typeId() == QMetaType::QString) {
    const QString text = value.toString().trimmed();
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) {
      return true;
    }
    if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) {
      return false;
    }
  }
  return to_double(value) != 0.0;
}

double to_double(const QVariant& value) {
  require_value(value);
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool() ? -1.0 : 0.0;
    case QMetaType::QString: {
      bool ok = false;
      const double number = value.toString().trimmed().toDouble(&ok);
      if (!ok) {
        throw RuntimeError(err::kTypeMismatch);
      }
      return number;
    }
    // The kinds the decoded cells hold, read directly: the generic conversion below looks the
    // types up in Qt's registry under a lock, and a scan of the schedule converts every cell.
    case QMetaType::Double:
      return value.toDouble();
    case QMetaType::Int:
      return value.toInt();
    case QMetaType::LongLong:
      return static_cast<double>(value.toLongLong());
    case QMetaType::Short:
      return value.value<qint16>();
    default:
      break;
  }
  if (value.typeId() == qMetaTypeId<vantora::DateTime>()) {
    return value.value<vantora::DateTime>().value;
  }
  bool ok = false;
  const double number = value.toDouble(&ok);
  if (!ok) {
    throw RuntimeError(err::kTypeMismatch);
  }
  return number;
}

std::int16_t to_int16(const QVariant& value) {
  return to_int16(to_double(value));
}
std::int32_t to_int32(const QVariant& value) {
  return to_int32(to_double(value));
}

QString to_text(const QVariant& value) {
  require_value(value);
  if (value.typeId() == qMetaTypeId<vantora::DateTime>()) {
    return format_date_time(value.value<vantora::DateTime>());
  }
  if (value.typeId() == QMetaType::Bool) {
    return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
  }
  return value.toString();
}

DateTime to_date_time(const QVariant& value) {
  require_value(value);
  if (value.typeId() == qMetaTypeId<vantora::DateTime>()) {
    return value.value<vantora::DateTime>();
  }
  if (value.typeId() == QMetaType::QString) {
    DateTime parsed;
    if (parse_date_time(value.toString(), &parsed)) {
      return parsed;
    }
    throw RuntimeError(err::kTypeMismatch);
  }
  const DateTime days(to_double(value));
  if (!date_time::on_calendar(days)) {
    throw RuntimeError(err::kOverflow);
  }
  return days;
}

bool parse_date_time(const QString& text, DateTime* out) {
  static const QRegularExpression pattern(QStringLiteral(
      R"(^\s*(?:(\d{4})-(\d{2})-(\d{2})(?:[ T]|$))?(?:(\d{1,2}):(\d{2})(?::(\d{2})(?:\.(\d{1,3}))?)?)?\s*$)"));
  const QRegularExpressionMatch match = pattern.match(text);
  if (!match.hasMatch() || (match.captured(1).isEmpty() && match.captured(4).isEmpty())) {
    return false;
  }
  int year = 1899;
  int month = 12;
  int day = 30;
  if (!match.captured(1).isEmpty()) {
    year = match.captured(1).toInt();
    month = match.captured(2).toInt();
    day = match.captured(3).toInt();
    if (!QDate::isValid(year, month, day)) {
      return false;
    }
  }
  const int hour = match.captured(4).toInt();
  const int minute = match.captured(5).toInt();
  const int second = match.captured(6).toInt();
  QString fraction = match.captured(7);
  while (!fraction.isEmpty() && fraction.size() < 3) {
    fraction.append(QLatin1Char('0'));
  }
  const int millisecond = fraction.toInt();
  if (hour > 23 || minute > 59 || second > 59) {
    return false;
  }
  *out = date_time::from_parts(year, month, day, hour, minute, second, millisecond);
  return true;
}

QString format_date_time(DateTime value) {
  const std::int64_t ms = date_time::to_linear_ms(value);
  const bool has_ms = ms % 1000 != 0;
  QString text = date_time::to_text(value);
  if (has_ms) {
    text += QStringLiteral(".%1").arg(((ms % 1000) + 1000) % 1000, 3, 10, QLatin1Char('0'));
  }
  // Judged on the value as printed: a time a fraction of a millisecond before midnight prints as
  // the next day, and must keep that day's date.
  if (date_time::date_part(date_time::from_linear_ms(ms)).value == 0.0) {
    return text.mid(11);
  }
  return text;
}

}  // namespace vantora::values
