#pragma once

#include "core/shell/player.h"

namespace vantora {

// Timer2's tick: once the clock is past LoadStartAt it stops the timer and starts the day.
void Timer2_Timer(Player& p);

// Starts the day on a freshly loaded player window: shows it, reads the settings, opens and
// orders the recordsets, places the designer's window, wakes the designer and hands over to
// play_Click.
void Load_Start(Player& p);

}  // namespace vantora
