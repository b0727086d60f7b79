#include "core/news/news_fetch.h"

#include "core/ads/break_items.h"
#include "core/database/columns.h"
#include "core/shell/file_lists.h"
#include "core/shell/procedure.h"

namespace vantora {

using namespace db::col::adv;

void FetchNews(Player& p) {
  Procedure proc(p.errors, QStringLiteral("FetchNews()"));
  db::Recordset& adv = p.data.rsAdv;
  PlayerState& s = p.state;
  forms::FileListBox& files = p.form.File1;

  // Both times go on the reference day, so a date part in either is ignored and the window never
  // wraps past midnight. Whole milliseconds keep the bounds exact.
  const std::int64_t slot_ms = date_time::to_linear_ms(
      date_time::on_reference_day(date_time::time_of_day(s.breaks.SlotTime)));
  const std::int64_t lower_ms = slot_ms - 1000;
  const std::int64_t upper_ms = slot_ms + 1000;

  break_items::to_first_in_play_order(proc, adv);

  while (!at_end(proc, adv, Unreadable::kAsTrue)) {
    bool matches = false;
    proc([&] {
      const std::int64_t time_ms = date_time::to_linear_ms(
          date_time::on_reference_day(values::to_date_time(adv.field(kTime))));
      matches = lower_ms < time_ms && time_ms < upper_ms;
    });
    if (matches) {
      // File1 is shared with the filler and the emergency break. A folder that cannot be listed
      // leaves it on whatever folder it listed before, so only a listing made here is queued; and
      // the listing is taken before the yield, in which a filler tick may point File1 elsewhere.
      const bool listed = proc(
          [&] { file_lists::set_path(files, p.files, values::to_text(adv.field(kMediaPath))); });
      const QString folder = files.Path();
      const QStringList names = files.items();
      p.runtime.yield();
      if (listed && !names.isEmpty()) {
        s.breaks.SlotFilled = kTrue;
        break_items::Item item;
        const DateTime today = date_time::date_part(p.runtime.now());
        // The row matched by its time of day; a date part the tool left in the column must not
        // put the break decades ahead, where it never falls due and holds back later slots.
        proc([&] {
          const DateTime time = date_time::time_of_day(values::to_date_time(adv.field(kTime)));
          break_items::schedule(proc, today, QVariant::fromValue(time), adv.field(kDuration), item);
        });
        proc([&] { item.end_offset = adv.field(kDuration); });
        proc([&] { item.caption = adv.field(kCaption); });
        proc([&] { item.text6 = adv.field(kExtraText); });
        item.hide_caption = break_items::flag(kTrue);
        item.ad_flag = break_items::flag(kTrue);
        proc([&] { item.saved_position = adv.field(kExtra16); });
        for (const QString& name : names) {
          item.file_name = file_lists::join(folder, name);
          break_items::append(proc, p.data.rsADTemp, item);
        }
        // The first item with files is the break; later matching items are not used.
        proc([&] { adv.move_last(); });
      }
    }
    proc([&] { adv.move_next(); });
  }
}

}  // namespace vantora
