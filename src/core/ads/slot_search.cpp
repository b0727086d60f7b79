#include "core/ads/slot_search.h"

#include <cmath>

#include "core/ads/ad_fetch.h"
#include "core/database/columns.h"
#include "core/news/news_fetch.h"
#include "core/shell/procedure.h"

namespace vantora {

namespace {

void empty_ad_temp(Procedure& proc, db::Recordset& ad_temp) {
  proc([&] { ad_temp.requery(); });
  if (is_empty(proc, ad_temp, Unreadable::kAsTrue)) {
    return;
  }
  proc([&] { ad_temp.move_first(); });
  while (!at_end(proc, ad_temp, Unreadable::kAsTrue)) {
    proc([&] { ad_temp.delete_current(); });
    proc([&] { ad_temp.move_next(); });
  }
  proc([&] { ad_temp.update_batch(); });
}

double current_position_s(const Player& p) {
  if (!p.state.graph.m_objMediaPosition) {
    throw RuntimeError(err::kObjectVariableNotSet);
  }
  return p.state.graph.m_objMediaPosition->CurrentPosition();
}

enum class SlotKind { kAds, kNews };

// Kind 0 is an ad break; any other kind, Null included, is news.
SlotKind slot_kind(const QVariant& value) {
  if (values::is_null(value)) {
    return SlotKind::kNews;
  }
  return values::to_double(value) == 0.0 ? SlotKind::kAds : SlotKind::kNews;
}

}  // namespace

void AD_Slot_Search(Player& p) {
  Procedure proc(p.errors, QStringLiteral("AD_Slot_Search()"));
  PlayerState& s = p.state;
  db::Recordset& slots = p.data.rsAd_Slot;

  s.breaks.SlotFilled = kFalse;
  empty_ad_temp(proc, p.data.rsADTemp);
  // The scheduling tool may have changed slots or ads since the last search.
  proc([&] { slots.requery(); });
  proc([&] { p.data.rsAdv.requery(); });

  s.breaks.SearchTime = date_time::truncate_to_second(p.runtime.now());
  proc([&] {
    const double end_offset_s =
        s.filler.FillerMode == kTrue ? s.filler.FillerLength : s.row.EndOffset;
    const double remaining_s = end_offset_s - current_position_s(p);
    // Kept to the millisecond: a media end a fraction past a slot's second still has that slot
    // inside the window, one a fraction before it does not.
    s.breaks.MediaEndTime = date_time::from_linear_ms(date_time::to_linear_ms(s.breaks.SearchTime) +
                                                      std::llround(remaining_s * 1000.0));
  });
  const std::int64_t search_ms = date_time::to_linear_ms(s.breaks.SearchTime);
  const std::int64_t media_end_ms = date_time::to_linear_ms(s.breaks.MediaEndTime);

  if (!is_empty(proc, slots, Unreadable::kAsTrue)) {
    proc([&] { slots.move_first(); });
  }
  while (!at_end(proc, slots, Unreadable::kAsTrue)) {
    p.runtime.yield();
    // A slot whose time cannot be read is passed over rather than judged by the last slot's
    // time.
    const bool have_time = proc([&] {
      const DateTime today = date_time::date_part(p.runtime.now());
      const DateTime time =
          date_time::time_of_day(values::to_date_time(slots.field(db::col::slot_adv::kTime)));
      s.breaks.SlotTime =
          date_time::from_linear_ms(date_time::to_linear_ms(today) + date_time::to_linear_ms(time));
    });
    if (have_time) {
      const std::int64_t slot_ms = date_time::to_linear_ms(s.breaks.SlotTime);
      if (search_ms < slot_ms && slot_ms < media_end_ms) {
        SlotKind kind = SlotKind::kAds;
        if (proc([&] { kind = slot_kind(slots.field(db::col::slot_adv::kSlotKind)); })) {
          if (kind == SlotKind::kAds) {
            FetchAds(p);
          } else {
            FetchNews(p);
          }
          if (s.breaks.SlotFilled == kTrue) {
            break;
          }
        }
      }
    }
    proc([&] { slots.move_next(); });
  }
}

}  // namespace vantora
