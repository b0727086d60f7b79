// Every cell the player reads passes the codec, and the schedule is written by other programs:
// any stored value either decodes or raises a type or overflow error, and a decoded value that
// is written back reads the same.
#include <cmath>
#include <cstring>

#include "base/date_time.h"
#include "base/errors.h"
#include "core/database/cell_codec.h"
#include "fuzz_support.h"

namespace {

using vantora::ports::ColumnKind;

constexpr ColumnKind kKinds[] = {ColumnKind::kDateTime, ColumnKind::kYesNo, ColumnKind::kInteger,
                                 ColumnKind::kNumber,   ColumnKind::kText,  ColumnKind::kAny};

// The stored value as SQLite hands it over: text, a whole number, a real or bytes.
QVariant stored_value(vantora::fuzz::Bytes& bytes) {
  switch (bytes.byte() % 4) {
    case 0:
      return QVariant(static_cast<qlonglong>(bytes.int64()));
    case 1: {
      const std::int64_t bits = bytes.int64();
      double number = 0;
      std::memcpy(&number, &bits, sizeof number);
      return QVariant(number);
    }
    case 2:
      return QVariant(bytes.rest().toUtf8());
    default:
      return QVariant(bytes.rest());
  }
}

bool same(const QVariant& a, const QVariant& b) {
  if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double) {
    const double x = a.toDouble();
    const double y = b.toDouble();
    return x == y || (std::isnan(x) && std::isnan(y));
  }
  if (a.typeId() == qMetaTypeId<vantora::DateTime>() &&
      b.typeId() == qMetaTypeId<vantora::DateTime>()) {
    return vantora::date_time::to_linear_ms(a.value<vantora::DateTime>()) ==
           vantora::date_time::to_linear_ms(b.value<vantora::DateTime>());
  }
  return a == b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantora;
  fuzz::Bytes bytes(data, size);
  const ColumnKind kind = kKinds[bytes.byte() % std::size(kKinds)];
  const QVariant stored = stored_value(bytes);
  QVariant decoded;
  try {
    decoded = db::cell_codec::decode(kind, stored);
  } catch (const RuntimeError& error) {
    if (error.number() != err::kTypeMismatch && error.number() != err::kOverflow) {
      fuzz::fail("unexpected error", error.description());
    }
    return 0;
  }
  if (kind == ColumnKind::kAny) {
    return 0;
  }
  QVariant again;
  try {
    again = db::cell_codec::decode(kind, db::cell_codec::encode(kind, decoded));
  } catch (const RuntimeError& error) {
    fuzz::fail("a decoded value cannot be written back:", error.description());
  }
  if (!same(decoded, again)) {
    fuzz::fail("written back, a value reads differently:",
               decoded.toString() + QStringLiteral(" / ") + again.toString());
  }
  return 0;
}
