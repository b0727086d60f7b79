#include "core/scheduler/playlist_row.h"

#include "core/database/columns.h"

namespace vantora::playlist_row {

Bool16 to_flag(const QVariant& value) {
  return to_bool16(values::is_true(value));
}

void load_play_columns(PlayerState& s, const db::Recordset& rs, Procedure& proc) {
  proc([&] { s.row.EndOffset = values::to_int32(rs.field(db::col::playlist::kEndOffset)); });
  proc([&] { s.row.SegCaption = values::to_text(rs.field(db::col::playlist::kCaption)); });
  proc([&] { s.row.SegText6 = values::to_text(rs.field(db::col::playlist::kText6)); });
  proc([&] { s.row.PictureTop = values::to_int16(rs.field(db::col::playlist::kPictureTop)); });
  proc(
      [&] { s.row.PictureHeight = values::to_int16(rs.field(db::col::playlist::kPictureHeight)); });
  proc([&] { s.row.HideCaption = to_flag(rs.field(db::col::playlist::kHideCaption)); });
  proc([&] { s.breaks.AdFlag = to_flag(rs.field(db::col::playlist::kAdFlag)); });
  proc([&] { s.row.StartNow = to_flag(rs.field(db::col::playlist::kStartNow)); });
  proc([&] { s.row.ShowStartRow = to_flag(rs.field(db::col::playlist::kShowStart)); });
  proc([&] { s.row.ShowEndRow = to_flag(rs.field(db::col::playlist::kShowEnd)); });
}

}  // namespace vantora::playlist_row
