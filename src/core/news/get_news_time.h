#pragma once

#include "core/shell/player.h"

namespace vantora {

// Finds the next news item of the day for a clip that has just started with `Seconds` left to
// play: the first row of the News table whose time lies between now and the end of the day, or,
// when the clip runs past midnight and there is none, the first row between midnight and the
// clip's end. A row whose folder cannot be listed is passed over (logged). Sets NewsFound and, on
// a find, NewsTime (on the reference day), NewsDay (the date it falls due on: tomorrow for a row
// found past midnight), NewsFolder, the NewsFile listing, NewsCount and NewsIndex = 0. An item
// held through a break (NewsHeld) is kept as it is.
void GetNewsTime(Player& p, double Seconds);

}  // namespace vantora
