#pragma once

#include "core/shell/player.h"

namespace vantora {

// Appends to AD_Temp, in Priority order, every ad of `adv` scheduled at SlotTime's time of day
// (to the second) and valid today; sets SlotFilled when it appends any. Leaves rsAdv sorted by
// "time, Priority" and at its end.
void FetchAds(Player& p);

}  // namespace vantora
