#pragma once

#include "core/shell/player.h"

namespace vantora {

// Shows the logo the logo table has in force now: the first row in table order whose start and
// end (both inclusive, full date-times) cover the present second. The picture is loaded afresh
// on every tick while a row is in force; with none the box shows no picture but keeps its
// visibility and place. Nothing changes while the operator's pause holds.
void LogoTimer_Timer(Player& p);

// The operator drags an overlay (the logo or the clock) into place: the press remembers where
// inside the control the mouse went down, the release moves the control by the mouse's travel.
// X and Y are twips from the control's top left corner; the move divides them by the screen's
// twips per pixel. Nothing is stored: the next tick or segment start places the overlay again.
void Logo_MouseDown(Player& p, float X, float Y);
void Logo_MouseUp(Player& p, float X, float Y);
void T_Time_MouseDown(Player& p, float X, float Y);
void T_Time_MouseUp(Player& p, float X, float Y);

}  // namespace vantora
