#pragma once

#include "core/shell/player.h"

namespace vantora {

// Loads the current AD_Temp row into the playback state (both paths set to the item's file, so
// it plays whichever mode the media core takes; full picture from the start) and logs it in
// Played before it starts. Does not move AD_Temp: the caller positions it before and moves it
// after.
void Get_Ad(Player& p);

// Starts the item Get_Ad loaded: ad mode on the player window (overlays hidden, "ADV", movie and
// filler timers off, the logo timer held), the break marked as running, the file played full
// screen, the video window forward and the designer told that an item is on. Returns once the
// item has started; the ad timer notices its end. An item that cannot be played leaves
// ClipPlaying False, so the next tick goes on with the next one.
void Run_AdFile(Player& p);

}  // namespace vantora
