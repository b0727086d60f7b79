#pragma once

#include "core/shell/player.h"

namespace vantora {

// Connects the player window's timers and buttons to their handlers. Called once for each new
// player window, before its load event runs.
void Connect_Player_Handlers(Player& p);

}  // namespace vantora
