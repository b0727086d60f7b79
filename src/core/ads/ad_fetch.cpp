#include "core/ads/ad_fetch.h"

#include "core/ads/break_items.h"
#include "core/database/columns.h"
#include "core/shell/procedure.h"

namespace vantora {

using namespace db::col::adv;

void FetchAds(Player& p) {
  Procedure proc(p.errors, QStringLiteral("FetchAds()"));
  db::Recordset& adv = p.data.rsAdv;
  PlayerState& s = p.state;

  // Compared in whole milliseconds: a time one second off the slot is exactly on a bound and
  // must not slip inside it by a rounding of the day fraction. A time with a date part lies days
  // away and never matches.
  const std::int64_t slot_ms = date_time::to_linear_ms(date_time::time_of_day(s.breaks.SlotTime));
  const std::int64_t lower_ms = slot_ms - 1000;
  const std::int64_t upper_ms = slot_ms + 1000;

  break_items::to_first_in_play_order(proc, adv);

  while (!at_end(proc, adv, Unreadable::kAsTrue)) {
    // The date is read again for every row: a search running over midnight judges each row by
    // the day it is read on.
    const DateTime today = date_time::date_part(p.runtime.now());
    bool selected = false;
    proc([&] {
      // The time first: nearly every row of the catalogue is for another slot, and its dates
      // need not be decoded then.
      const std::int64_t time_ms = date_time::to_linear_ms(values::to_date_time(adv.field(kTime)));
      if (time_ms <= lower_ms || upper_ms <= time_ms) {
        return;
      }
      const DateTime first = date_time::date_part(values::to_date_time(adv.field(kFirstDate)));
      const DateTime last = date_time::date_part(values::to_date_time(adv.field(kLastDate)));
      selected = first <= today && today <= last;
    });
    if (selected) {
      s.breaks.SlotFilled = kTrue;
      break_items::Item item;
      break_items::schedule(proc, today, adv.field(kTime), adv.field(kDuration), item);
      proc([&] { item.file_name = adv.field(kMediaPath); });
      proc([&] { item.end_offset = adv.field(kDuration); });
      proc([&] { item.caption = adv.field(kCaption); });
      proc([&] { item.text6 = adv.field(kExtraText); });
      proc([&] { item.hide_caption = adv.field(kHideCaption); });
      proc([&] { item.ad_flag = adv.field(kAdFlag); });
      proc([&] { item.saved_position = adv.field(kExtra16); });
      break_items::append(proc, p.data.rsADTemp, item);
    }
    proc([&] { adv.move_next(); });
  }
}

}  // namespace vantora
