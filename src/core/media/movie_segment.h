#pragma once

#include "core/shell/player.h"
#include "core/shell/procedure.h"

namespace vantora {

// Starts (or resumes) the movie segment the scheduler put in the player state, on the playlist's
// current row: ends filler and break mode, plays the segment through Run_Movie, hands the screen
// from the designer to the video window, prepares the next break, runs the movie and ad timers
// and sets the overlay the row's logo_file asks for. Returns once playback has started.
void Run_MovieFile(Player& p);

// Brings the video window that Run_Movie just opened to the front, notes it as VideoHwnd, then
// gives the designer its focus back and sends it `keys`: for a movie or filler a key it ignores
// wakes it; a break or the news sends the keys that tell it a break has begun. Each step that
// fails is logged under the caller's procedure and the rest still run.
void Hand_Screen_To_Video(Player& p, Procedure& proc,
                          const QString& keys = QStringLiteral(" {sleep 1} "));

}  // namespace vantora
