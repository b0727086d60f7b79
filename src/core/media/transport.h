#pragma once

#include "core/shell/player.h"

namespace vantora {

// The operator's transport buttons on the current graph.

// Ten seconds on, unless the clip is within 15 s of its end.
void FF_Click(Player& p);
// Ten seconds back, unless the clip is at 11 s or earlier.
void RW_Click(Player& p);

// Pauses the whole programme: the graph, the designer ("P{sleep 1}P") and the timers that honour
// Paused. The click waits inside itself, serving events, until play_pause ends the pause; then the
// graph runs again and the designer gets the screen back (" {sleep 1} "). A pause inside a pause
// nests and the inner one ends first. The wait also ends, without resuming anything, when the
// window is unloaded (Exit or a restart), so a paused program can always be stopped.
void B_pause_Click(Player& p);
void play_pause_Click(Player& p);

// Nudge or stretch the current video window for this clip only: the next clip is placed by its
// own row again. Without a video window (nothing played yet) they do nothing.
void B_UP_Click(Player& p);
void B_Down_Click(Player& p);
void B_thin_Click(Player& p);
void b_Wide_Click(Player& p);

}  // namespace vantora
