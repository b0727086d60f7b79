#include "core/database/cell_codec.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <limits>

#include "base/errors.h"
#include "base/values.h"

namespace vantora::db::cell_codec {
namespace {

using ports::ColumnKind;

bool is_number(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Bool:
      return true;
    default:
      return false;
  }
}

DateTime date_time_of(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::QDateTime:
      return date_time::from_qdatetime(value.toDateTime().toLocalTime());
    case QMetaType::QDate:
      return date_time::from_qdatetime(QDateTime(value.toDate(), QTime(0, 0)));
    case QMetaType::QTime: {
      const QTime time = value.toTime();
      return date_time::from_time_of_day(time.hour(), time.minute(), time.second(), time.msec());
    }
    default:
      return values::to_date_time(value);
  }
}

qlonglong whole_of(const QVariant& value) {
  const double number = values::round_half_even(values::to_double(value));
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (!std::isfinite(number) || number < -9.2233720368547758e18 ||
      number >= 9.2233720368547758e18) {
    throw RuntimeError(err::kOverflow);
  }
  return static_cast<qlonglong>(number);
}

bool yes_no_of(const QVariant& value) {
  return values::is_true(value);
}

QString text_of(const QVariant& value) {
  if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
    return QString::number(value.toDouble(), 'g', 15);
  }
  return values::to_text(value);
}

}  // namespace

QVariant decode(ColumnKind kind, const QVariant& stored) {
  if (values::is_null(stored)) {
    return {};
  }
  switch (kind) {
    case ColumnKind::kDateTime:
      return QVariant::fromValue(date_time_of(stored));
    case ColumnKind::kYesNo:
      return QVariant::fromValue<qint16>(to_bool16(yes_no_of(stored)));
    case ColumnKind::kInteger:
      return QVariant::fromValue(whole_of(stored));
    case ColumnKind::kNumber:
      return QVariant(values::to_double(stored));
    case ColumnKind::kText:
      return QVariant(text_of(stored));
    case ColumnKind::kAny:
      break;
  }
  if (stored.typeId() == QMetaType::QByteArray) {
    return stored;
  }
  if (is_number(stored) || stored.typeId() == QMetaType::QString) {
    return stored;
  }
  return QVariant(values::to_text(stored));
}

QVariant encode(ColumnKind kind, const QVariant& value) {
  if (values::is_null(value)) {
    return {};
  }
  switch (kind) {
    case ColumnKind::kDateTime:
      return QVariant(values::format_date_time(date_time_of(value)));
    case ColumnKind::kYesNo:
      return QVariant(yes_no_of(value) ? 1 : 0);
    case ColumnKind::kInteger:
      return QVariant::fromValue(whole_of(value));
    case ColumnKind::kNumber:
      return QVariant(values::to_double(value));
    case ColumnKind::kText:
      return QVariant(text_of(value));
    case ColumnKind::kAny:
      break;
  }
  if (value.typeId() == qMetaTypeId<DateTime>()) {
    return QVariant(values::format_date_time(value.value<DateTime>()));
  }
  if (value.typeId() == QMetaType::Bool) {
    return QVariant(value.toBool() ? 1 : 0);
  }
  if (is_number(value) || value.typeId() == QMetaType::QString ||
      value.typeId() == QMetaType::QByteArray) {
    return value;
  }
  return QVariant(values::to_text(value));
}

}  // namespace vantora::db::cell_codec
