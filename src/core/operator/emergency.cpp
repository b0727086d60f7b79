#include "core/operator/emergency.h"

#include <optional>

#include "core/ads/ad_break.h"
#include "core/ads/break_items.h"
#include "core/database/columns.h"
#include "core/scheduler/schedule_clock.h"
#include "core/shell/file_lists.h"

namespace vantora {
namespace {

// Each clip may run this long; the row's end offset does not cut it short.
constexpr double kEmergencyWindow_s = 1800;

// The emergency folder as the settings name it now, so an edit of the settings takes effect
// without a restart; nullopt when it cannot be read.
std::optional<QString> emergency_folder(Player& p, Procedure& proc) {
  db::Recordset& ini = p.data.rsPlayer_INI;
  std::optional<QString> folder;
  proc([&] {
    ini.move_first();
    folder = values::to_text(ini.field(db::col::player_ini::kEmergencyFolder));
  });
  return folder;
}

// Lists the folder into File1. The box is shared with the filler and the news: a folder that
// cannot be listed leaves it on what it listed before, which must not go on air as an emergency,
// so only a listing made here counts; it is taken before the yield, in which a filler tick may
// point File1 elsewhere.
QStringList list_clips(Player& p, Procedure& proc, const QString& folder) {
  forms::FileListBox& files = p.form.File1;
  const bool listed = proc([&] { file_lists::set_path(files, p.files, folder); });
  const QStringList names = listed ? files.items() : QStringList();
  p.runtime.yield();
  return names;
}

void queue(Player& p, Procedure& proc, const QString& folder, const QStringList& names) {
  db::Recordset& ad_temp = p.data.rsADTemp;
  const bool in_break = p.state.breaks.InAdBreak == kTrue;
  // A break already playing goes on from where it stands and the new rows follow its last item;
  // restarting it from its first row would replay that row and keep the item now playing as the
  // programme to return to, losing the movie.
  std::optional<db::Bookmark> playing_from;
  if (in_break && !at_end(proc, ad_temp, Unreadable::kAsTrue)) {
    proc([&] { playing_from = ad_temp.bookmark(); });
  }
  std::optional<db::Bookmark> first_queued;
  for (const QString& name : names) {
    // Each row is stamped as it is written, to the second the clock shows.
    const DateTime written = schedule_clock::now(p.runtime);
    break_items::Item item;
    item.seg_start_time = QVariant::fromValue(written);
    item.seg_end_time = QVariant::fromValue(date_time::add_seconds(written, kEmergencyWindow_s));
    item.file_name = file_lists::join(folder, name);
    item.end_offset = QVariant(static_cast<int>(kEmergencyWindow_s));
    item.caption = QStringLiteral("Emergency");
    item.text6 = QStringLiteral("Emergency");
    item.hide_caption = break_items::flag(kFalse);
    item.ad_flag = break_items::flag(kFalse);
    item.saved_position = QVariant(0);
    break_items::append(proc, ad_temp, item);
    if (!first_queued) {
      proc([&] { first_queued = ad_temp.bookmark(); });
    }
  }
  if (in_break) {
    const std::optional<db::Bookmark>& next = playing_from ? playing_from : first_queued;
    if (next) {
      proc([&] { ad_temp.go_to(*next); });
    }
  }
}

}  // namespace

void B_Restart_Click(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Emergency()"));
  PlayerState& s = p.state;
  db::Recordset& ad_temp = p.data.rsADTemp;

  if (const std::optional<QString> folder = emergency_folder(p, proc)) {
    const QStringList names = list_clips(p, proc, *folder);
    if (!names.isEmpty()) {
      s.breaks.SlotFilled = kTrue;
      queue(p, proc, *folder, names);
    }
  }

  // A break already playing takes the new rows in turn; otherwise the first queued row decides,
  // which may be a break prepared earlier and not yet due.
  if (s.breaks.SlotFilled == kFalse || s.breaks.InAdBreak == kTrue ||
      !proc.test([&] { return ad_temp.record_count() > 0; }, Unreadable::kAsFalse)) {
    return;
  }
  proc([&] { ad_temp.move_first(); });
  const bool due = proc.test(
      [&] {
        const DateTime first_start =
            values::to_date_time(ad_temp.field(db::col::ad_temp::kSegStartTime));
        return schedule_clock::now_ms(p.runtime) >= schedule_clock::ms(first_start);
      },
      Unreadable::kAsFalse);
  if (due) {
    Start_Break(p, proc);
  }
}

}  // namespace vantora
