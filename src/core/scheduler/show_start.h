#pragma once

#include "core/shell/player.h"

namespace vantora {

// Decides what the day starts with: resumes a show a stop interrupted ("Intrupted"), gives it up
// for filler when it can no longer finish in time ("UnRecoverable"), starts the show whose start
// window is open ("Normal") or plays filler until the next show ("UnIntrupted"). The word goes
// to Text3.
void play_Click(Player& p);

}  // namespace vantora
