#include "core/scheduler/playlist_row.h"

namespace vantora::playlist_row {

Bool16 to_flag(const QVariant& value) {
  return to_bool16(values::is_true(value));
}

void load_play_columns(PlayerState& s, const db::Recordset& rs, Procedure& proc) {
  proc([&] { s.row.EndOffset = values::to_int32(rs.field(4)); });
  proc([&] { s.row.SegCaption = values::to_text(rs.field(5)); });
  proc([&] { s.row.SegText6 = values::to_text(rs.field(6)); });
  proc([&] { s.row.PictureTop = values::to_int16(rs.field(9)); });
  proc([&] { s.row.PictureHeight = values::to_int16(rs.field(10)); });
  proc([&] { s.row.HideCaption = to_flag(rs.field(11)); });
  proc([&] { s.breaks.AdFlag = to_flag(rs.field(12)); });
  proc([&] { s.row.StartNow = to_flag(rs.field(13)); });
  proc([&] { s.row.ShowStartRow = to_flag(rs.field(14)); });
  proc([&] { s.row.ShowEndRow = to_flag(rs.field(15)); });
}

}  // namespace vantora::playlist_row
