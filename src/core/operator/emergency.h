#pragma once

#include "core/shell/player.h"

namespace vantora {

// The E'gency button: every clip of the emergency folder is queued as a break item for the next
// half hour, behind whatever AD_Temp already holds, and the break starts at once when the first
// queued row is due. The ad timer plays the rest and gives the programme back, as after any
// break. A folder that cannot be listed queues nothing (one line in error.txt).
void B_Restart_Click(Player& p);

}  // namespace vantora
