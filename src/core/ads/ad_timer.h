#pragma once

#include "core/shell/player.h"

namespace vantora {

// The ad timer's tick (every 666 ms): notices the end of the clip now playing, shows the play
// position and the clock, serves the clipboard protocol, runs the break step and puts the window
// stacking back in order. The end-of-clip check and the position run even while paused or halted.
void AdTimer_Timer(Player& p);

}  // namespace vantora
