#pragma once

#include <QVariant>

#include "ports/table_store.h"

namespace vantora::db::cell_codec {

// Stored values in, player values out, by the column's kind:
//   date-time: a vantora::DateTime (stored as text, or a number of days, or a driver date);
//   yes/no:    a Bool16, kTrue for any non-zero value;
//   whole:     a qlonglong, rounded half to even from a fractional or textual number;
//   number:    a double;
//   text:      a QString, numbers converted;
//   any:       as stored.
// Null stays Null. A value that does not convert raises err::kTypeMismatch.
QVariant decode(ports::ColumnKind kind, const QVariant& stored);

// Player values in, the storage format out: a date-time as "YYYY-MM-DD HH:MM:SS[.SSS]" text (a
// time of day alone as "HH:MM:SS"), yes/no as 1 or 0, whole numbers as integers, numbers as
// doubles, texts as text. A value the column cannot hold raises err::kTypeMismatch (a number out
// of range err::kOverflow).
QVariant encode(ports::ColumnKind kind, const QVariant& value);

}  // namespace vantora::db::cell_codec
