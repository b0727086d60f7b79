#include "core/scheduler/playlist_cursor.h"

#include <optional>

#include "core/shell/guarded_test.h"

namespace vantora {

namespace {

Bool16 to_flag(const QVariant& value) {
  return to_bool16(values::is_true(value));
}

void load_row(Player& p, Procedure& proc) {
  const db::Recordset& rs = p.data.rsplaylist;
  PlayerState& s = p.state;
  // One read per column, so that a bad value costs that column only.
  proc([&] { s.SegStart = values::to_date_time(rs.field(0)); });
  proc([&] { s.SegEnd = values::to_date_time(rs.field(1)); });
  proc([&] { s.MediaFile = values::to_text(rs.field(2)); });
  proc([&] { s.StartOffset = values::to_int32(rs.field(3)); });
  proc([&] { s.EndOffset = values::to_int32(rs.field(4)); });
  proc([&] { s.SegCaption = values::to_text(rs.field(5)); });
  proc([&] { s.SegText6 = values::to_text(rs.field(6)); });
  proc([&] { s.PictureTop = values::to_int16(rs.field(9)); });
  proc([&] { s.PictureHeight = values::to_int16(rs.field(10)); });
  proc([&] { s.HideCaption = to_flag(rs.field(11)); });
  proc([&] { s.AdFlag = to_flag(rs.field(12)); });
  proc([&] { s.StartNow = to_flag(rs.field(13)); });
  proc([&] { s.ShowStartRow = to_flag(rs.field(14)); });
  proc([&] { s.ShowEndRow = to_flag(rs.field(15)); });
  proc([&] { s.SegStarted = to_flag(rs.field(7)); });
  proc([&] { s.SegDone = to_flag(rs.field(8)); });
  if (s.PictureHeight == 0) {
    s.PictureHeight = 600;
  }
}

}  // namespace

void Get_Next_Segment(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Get_Next_Segment()"));
  db::Recordset& rs = p.data.rsplaylist;
  PlayerState& s = p.state;

  if (s.RewindList != kTrue) {
    // Past the last row this fails and is logged; the end test below then ends the list.
    proc([&] { rs.move_next(); });
  } else {
    if (test_or_true(proc, [&] { return rs.bof() && rs.eof(); })) {
      s.EndOfList = kTrue;
      return;
    }
    proc([&] { rs.move_first(); });
    s.RewindList = kFalse;
  }

  if (test_or_true(proc, [&] { return rs.eof(); })) {
    s.EndOfList = kTrue;
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

  s.EndOfList = kFalse;
  s.RewindList = kTrue;
  for (;;) {
    p.runtime.yield();
    Get_Next_Segment(p);
    // Get_Next_Segment named itself; errors from here on are this procedure's.
    p.errors.ProcName = proc.label();
    if (s.EndOfList == kTrue) {
      break;
    }
    if (s.ShowStartRow != kTrue || s.SegDone == kTrue) {
      continue;
    }
    const std::int64_t now_ms =
        date_time::to_linear_ms(date_time::truncate_to_second(p.runtime.now()));
    const std::int64_t latest_start_ms =
        date_time::to_linear_ms(s.SegStart) + std::int64_t{s.StartTolerance} * 1000;
    if (latest_start_ms >= now_ms) {
      s.NoNextShow = kFalse;
      return;
    }
  }

  s.NoNextShow = kTrue;
  // Without a bookmark (the cursor was past the end) there is nowhere to go back to.
  if (remembered) {
    proc([&] { rs.go_to(*remembered); });
  }
  s.EndOfList = kTrue;
}

}  // namespace vantora
