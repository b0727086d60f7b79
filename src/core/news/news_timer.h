#pragma once

#include "core/shell/player.h"

namespace vantora {

// The news timer's tick. Armed by the look-ahead, it waits for the found item's time, then saves
// the programme and starts the news; while the news runs it shows the position, steps through
// the folder's clips in list order as each one ends, and after the last gives the programme
// back: an interrupted movie ten seconds before where it was left, filler through a fresh pick.
void NewsTimer_Timer(Player& p);

}  // namespace vantora
