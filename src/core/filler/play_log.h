#pragma once

#include "core/shell/player.h"

namespace vantora {

// Appends to Played a copy of the movie segment that has just played to its end: the current
// playlist row, column for column (Null stays Null), except column 17, which keeps its default.
// Called after the row was marked completed, so the log row shows both flags True and the last
// saved position.
void Played_entry(Player& p);

// Appends to Played a copy of the break item about to start: the current AD_Temp row, columns 0
// to 16. Logged when loaded, so an item whose file cannot play is logged all the same.
void adPlayed_entry(Player& p);

}  // namespace vantora
