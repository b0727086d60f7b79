#pragma once

#include "core/shell/player.h"

namespace vantora {

// Fills a news break: the first item of `adv` (in "time, Priority" order) within a second of
// SlotTime's time of day, compared on the reference day, whose folder holds files, queued as one
// AD_Temp row per file in File1's order; sets SlotFilled when it queues any. An item whose folder
// cannot be listed queues nothing and the scan goes on.
void FetchNews(Player& p);

}  // namespace vantora
