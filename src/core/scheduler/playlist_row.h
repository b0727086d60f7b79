#pragma once

#include "core/database/recordset.h"
#include "core/shell/player_state.h"
#include "core/shell/procedure.h"

namespace vantora::playlist_row {

// How a playlist yes/no column reads into a flag variable.
Bool16 to_flag(const QVariant& value);

// Loads the columns a segment plays by (end offset, caption, text6, picture placement and the
// flags) from the current playlist row. One read per column, so that a bad value costs that
// column only.
void load_play_columns(PlayerState& s, const db::Recordset& rs, Procedure& proc);

}  // namespace vantora::playlist_row
