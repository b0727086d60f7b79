#pragma once

#include "core/shell/player.h"

namespace vantora {

// Puts the screen back in its normal stacking after a break: the video window at the bottom,
// the designer and then the player window topmost. Does nothing while paused or while the
// designer already sits right below the player window.
void Set_Normal_Order(Player& p);

}  // namespace vantora
