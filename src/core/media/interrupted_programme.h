#pragma once

#include "core/shell/player.h"
#include "core/shell/procedure.h"

namespace vantora {

// A break, the news and an emergency all interrupt the movie or filler the same way and give it
// back the same way, so the table of what is kept lives here once.

// Keeps the overlays' visibility and the programme now playing: media and clip file, picture
// placement, filler length, end offset, whether the caption is hidden, and the resume offset (ten
// seconds before the present position, so the viewer sees again what the interruption cut; 0 for
// filler or within the first ten seconds). Each value that cannot be read keeps its previous saved
// value (logged).
void Save_Programme(Player& p, Procedure& proc);

// Puts the saved programme back into the playback state (filler restarts from 0) and shows again
// the overlays that were visible; it hides nothing. The caller then resumes movie or filler.
void Restore_Programme(Player& p, Procedure& proc);

// The logo timer is off while the interruption plays; LogoTimerWasOn lets the resumed movie turn
// it back on. A second call within one break finds it already off.
void Hold_Logo_Timer(Player& p);

// News or a break has the screen. A procedure that starts the programme yields before it arms the
// programme's timers, and an interruption may begin in those yields: the timers would then watch
// the interruption's clips as though they were the programme's. Such a procedure asks this after
// its waits and leaves the rest to the interruption, whose end gives the programme back and arms
// its timers.
bool Programme_Interrupted(const Player& p);

// Clears the picture for the interruption: the caption and every overlay go, and Text3 names
// what now plays ("ADV", "News").
void Clear_Overlays_For(Player& p, const QString& kind);

}  // namespace vantora
