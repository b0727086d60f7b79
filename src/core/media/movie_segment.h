#pragma once

#include "core/shell/player.h"

namespace vantora {

// Starts (or resumes) the movie segment the scheduler put in the player state, on the playlist's
// current row: ends filler and break mode, plays the segment through Run_Movie, hands the screen
// from the designer to the video window, prepares the next break, runs the movie and ad timers
// and sets the overlay the row's logo_file asks for. Returns once playback has started.
void Run_MovieFile(Player& p);

}  // namespace vantora
