#include "core/ads/break_items.h"

namespace vantora::break_items {

QVariant flag(Bool16 value) {
  return QVariant(value != kFalse);
}

void append(Procedure& proc, db::Recordset& ad_temp, const Item& item) {
  proc([&] { ad_temp.add_new(); });
  const QVariant columns[] = {
      item.seg_start_time, item.seg_end_time,   item.file_name, QVariant(0),  item.end_offset,
      item.caption,        item.text6,          flag(kFalse),   flag(kFalse), QVariant(0),
      QVariant(600),       item.hide_caption,   item.ad_flag,   flag(kFalse), flag(kFalse),
      flag(kFalse),        item.saved_position,
  };
  int ordinal = 0;
  for (const QVariant& value : columns) {
    proc([&] { ad_temp.set_field(ordinal, value); });
    ++ordinal;
  }
  proc([&] { ad_temp.update(); });
}

void schedule(Procedure& proc, DateTime today, const QVariant& time, const QVariant& duration,
              Item& item) {
  DateTime start;
  if (!proc([&] { start = DateTime(today.value + values::to_date_time(time).value); })) {
    return;
  }
  item.seg_start_time = QVariant::fromValue(start);
  proc([&] {
    item.seg_end_time =
        QVariant::fromValue(date_time::add_seconds(start, values::to_double(duration)));
  });
}

void to_first_in_play_order(Procedure& proc, db::Recordset& adv) {
  static const QString kPlayOrder = QStringLiteral("time, Priority");
  bool sorted = false;
  proc([&] { sorted = adv.is_open() && adv.sort() == kPlayOrder; });
  if (!sorted) {
    proc([&] { adv.set_sort(kPlayOrder); });
  }
  if (!is_empty(proc, adv, Unreadable::kAsTrue)) {
    proc([&] { adv.move_first(); });
  }
}

}  // namespace vantora::break_items
