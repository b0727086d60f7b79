#pragma once

#include "core/shell/player.h"

namespace vantora {

// Prepares the next break for the media now playing: empties AD_Temp, then fills it from the
// first slot of Slot_adv that lies strictly after now and strictly before the media's end and
// yields any item (FetchAds for slot_kind 0, FetchNews for any other kind).
void AD_Slot_Search(Player& p);

}  // namespace vantora
