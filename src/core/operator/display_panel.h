#pragma once

#include "core/shell/player.h"

namespace vantora {

// The Exit button: the playing timers stop, the window unloads (the designer gets its closing
// keys), then the program ends.
void Command1_Click(Player& p);

}  // namespace vantora
