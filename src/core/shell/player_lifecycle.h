#pragma once

#include "core/shell/player.h"

namespace vantora {

// The player window's load event: the day starts 10 s later, from Timer2.
void Form_Load(Player& p);

// The player window's unload event: closes the designer's presentation, lets go of the media
// graph and closes the recordsets the day opened.
void Form_Unload(Player& p);

}  // namespace vantora
