#include "core/scheduler/playlist_cursor.h"

#include <optional>

#include "core/database/columns.h"
#include "core/scheduler/schedule_row.h"
#include "core/shell/procedure.h"

namespace vantora {

namespace {

void load_row(Player& p, Procedure& proc) {
  PlayerState& s = p.state;
  schedule_row::load(s, p.data.rsplaylist, proc, schedule_row::kSegment);
  if (s.row.PictureHeight == 0) {
    s.row.PictureHeight = 600;
  }
}

}  // namespace

void Get_Next_Segment(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Get_Next_Segment()"));
  db::Recordset& rs = p.data.rsplaylist;
  PlayerState& s = p.state;

  if (s.cursor.RewindList != kTrue) {
    // Past the last row this fails and is logged; the end test below then ends the list.
    proc([&] { rs.move_next(); });
  } else {
    if (is_empty(proc, rs, Unreadable::kAsTrue)) {
      s.cursor.EndOfList = kTrue;
      return;
    }
    proc([&] { rs.move_first(); });
    s.cursor.RewindList = kFalse;
  }

  if (at_end(proc, rs, Unreadable::kAsTrue)) {
    s.cursor.EndOfList = kTrue;
    return;
  }
  load_row(p, proc);
}

void Get_Next_Slot(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Get_Next_Slot()"));
  db::Recordset& rs = p.data.rsplaylist;
  PlayerState& s = p.state;

  std::optional<db::Bookmark> remembered;
  proc([&] { remembered = rs.bookmark(); });
  // Rows the scheduling tool changed since the last look are seen.
  proc([&] { rs.requery(); });

  s.cursor.EndOfList = kFalse;
  s.cursor.RewindList = kTrue;
  for (;;) {
    p.runtime.yield();
    Get_Next_Segment(p);
    if (s.cursor.EndOfList == kTrue) {
      break;
    }
    if (s.row.ShowStartRow != kTrue || s.row.SegDone == kTrue) {
      continue;
    }
    const std::int64_t now_ms =
        date_time::to_linear_ms(date_time::truncate_to_second(p.runtime.now()));
    const std::int64_t latest_start_ms =
        date_time::to_linear_ms(s.row.SegStart) + std::int64_t{s.settings.StartTolerance} * 1000;
    if (latest_start_ms >= now_ms) {
      s.cursor.NoNextShow = kFalse;
      return;
    }
  }

  s.cursor.NoNextShow = kTrue;
  // Without a bookmark (the cursor was past the end) there is nowhere to go back to.
  if (remembered) {
    proc([&] { rs.go_to(*remembered); });
  }
  s.cursor.EndOfList = kTrue;
}

}  // namespace vantora
