#pragma once

#include "core/shell/player.h"

namespace vantora {

// Starts the next filler clip: finds the next show, chooses the folder for the time of day and
// weekday, and plays a clip of that folder not yet played in its cycle. A folder without any file
// falls back to the default filler folder; when that has none either, nothing is rendered and the
// filler timer goes on watching for the next show.
void Run_Filler(Player& p);

// Plays ClipFile as filler and hands the screen to the video window.
void Run_FillerFile(Player& p);

// The filler timer's tick: starts the next show when it falls due, else the next clip once the
// last one has ended.
void FillerTimer_Timer(Player& p);

}  // namespace vantora
