#pragma once

#include <QString>

#include "core/shell/player.h"

namespace vantora {

// The movie timer's tick (every 500 ms while a segment plays): saves the play position so that a
// stopped player resumes where it was; when the segment's clip has ended, marks the row
// completed, logs it and goes on with the next segment, the next show or filler; runs the
// caption cycle (status files, the caption from 5 s to 15 s into the segment) and the lottery's
// reveal and masking. Does nothing at all while paused or halted.
void T_Movie_Timer(Player& p);

// Replaces a status file's content with one line, so that whoever reads it (a web page, a
// character generator) finds the old line or the new one, never an empty or half-written file.
// A file that already holds exactly that line is not written again; `stamps` remembers what the
// last writes left, so that this is known without reading the file at every tick.
void Write_Status_File(const QString& path, const QString& line,
                       std::map<QString, StatusFileStamp>& stamps);

}  // namespace vantora
