#pragma once

#include "core/shell/player.h"

namespace vantora {

// Serves the clipboard pause protocol on each ad timer tick: another program asks the player to
// step aside and come back, and the player answers on the clipboard.
void Serve_Clipboard_Protocol(Player& p);

}  // namespace vantora
