#pragma once

#include <QString>
#include <optional>

#include "core/shell/player.h"
#include "core/shell/procedure.h"

namespace vantora::filler {

// The folder of the first filler row (in the recordset's start_time order) whose daily window
// holds the time of day now and whose day_of_week is today's number (1 = Sunday .. 7 =
// Saturday); failing that, of the first row whose window holds with day_of_week 0. Nothing when
// no row applies. A window whose end lies before its start runs from the start to midnight.
// Leaves FillerFrom and FillerUntil at the window of the last row examined; yields once per row.
std::optional<QString> choose_folder(Player& p, Procedure& proc);

// The place in the list of clips not yet played at which a draw r in [0, 1) lands: the last name
// is drawn only when it is the only one left.
int pick_index(int clips_left, float r);

// A draw in [0, 1) from a generator seeded afresh from the clock.
float draw_from_clock(const ports::Runtime& runtime);

}  // namespace vantora::filler
