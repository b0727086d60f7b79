#pragma once

#include "core/shell/player.h"

namespace vantora {

// Looks in the playlist for a segment that was started and stopped well before its end while its
// show can still be resumed. When there is one (Terminated True) it becomes the current row, its
// StartOffset moved just past the saved position, the cursor left on it, and ResumeLag and
// GapToNextShow measure how late a resume is and how much room lies before the next show.
// Otherwise the cursor is left past the last row. Writes nothing to the database.
void Is_Terminated(Player& p);

}  // namespace vantora
