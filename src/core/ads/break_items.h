#pragma once

#include <QVariant>

#include "base/values.h"
#include "core/database/columns.h"
#include "core/database/recordset.h"
#include "core/shell/procedure.h"

namespace vantora::break_items {

// The columns of one AD_Temp row that differ between items; the rest are fixed (offset 0, the
// full 600-pixel picture, not started, not completed, no show boundaries). A value that could
// not be worked out stays Null, as the column would after a failed assignment.
struct Item {
  QVariant seg_start_time;
  QVariant seg_end_time;
  QVariant file_name;
  QVariant end_offset;
  QVariant caption;
  QVariant text6;
  QVariant hide_caption;
  QVariant ad_flag;
  QVariant saved_position;
};

// How a yes/no column is written.
QVariant flag(Bool16 value);

// Appends the item to AD_Temp, one statement per column so that a column the table refuses
// costs that column only.
void append(Procedure& proc, db::Recordset& ad_temp, const Item& item);

// The start and end moments of an item scheduled at `time` today and lasting `duration`
// seconds; each stays Null when its part fails.
void schedule(Procedure& proc, DateTime today, const QVariant& time, const QVariant& duration,
              Item& item);

// Puts the catalogue in play order ("time, Priority") on its first row. A catalogue already in
// that order (the sort holds through requery) is not sorted again: a search fetches slot after
// slot, and re-sorting thousands of rows each time is most of its cost.
void to_first_in_play_order(Procedure& proc, db::Recordset& adv);

}  // namespace vantora::break_items
