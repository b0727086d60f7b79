#pragma once

#include "core/shell/player.h"

namespace vantora {

// The cursor over the day's playlist. Get_Next_Segment steps to the next row (or the first, when
// RewindList is True) and loads it into the current-row variables; at the end it sets EndOfList
// and leaves the variables as they were. Get_Next_Slot finds the next show that can still start
// and leaves the cursor on it, or sets NoNextShow and puts the cursor back where it was.
void Get_Next_Segment(Player& p);
void Get_Next_Slot(Player& p);

}  // namespace vantora
