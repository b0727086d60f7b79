#pragma once

#include "core/shell/player.h"

namespace vantora {

// Switches the operator panel between the transport buttons (caption "A") and the clock setter
// (caption "B"), presetting the picker with the present moment.
void B_Disp_Click(Player& p);

// Sets the machine's time of day from the picker, keeping the date. A refusal (the program lacks
// the right to set the clock) is logged once and shown on the button; the player plays on.
void B_SetTime_Click(Player& p);

// The Exit button: the playing timers stop, the window unloads (the designer gets its closing
// keys), then the program ends.
void Command1_Click(Player& p);

}  // namespace vantora
