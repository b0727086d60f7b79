#pragma once

#include "core/shell/player.h"

namespace vantora {

// Switches the screen from the programme to the news item the look-ahead found: stops the
// programme's timers and the logo timer, clears every overlay, shows "News", plays the first clip
// of the item's folder and tells the designer a break has started. The news timer, which stays
// armed, plays the rest and gives the programme back.
void RunNews(Player& p);

}  // namespace vantora
