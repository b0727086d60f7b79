#pragma once

#include <QStringView>
#include <span>

#include "core/shell/player.h"

namespace vantora {

enum class ControlEvent { kClick, kMouseDown, kMouseUp, kTimer };

// Where a mouse event happened: twips from the control's top left corner.
struct MouseAt {
  float X = 0;
  float Y = 0;
};

using PlayerHandler = void (*)(Player& p, const MouseAt& at);

// One event of one control of the player window and the procedure that serves it.
struct PlayerEvent {
  QStringView control;
  ControlEvent event;
  // Null while no procedure serves the event yet: the control has it, nothing runs.
  PlayerHandler handler;
};

// Every event of the player window's controls: the timers, the buttons the operator clicks
// (on screen or in a simulator's script) and the overlays dragged with the mouse all reach
// their procedures through this one table.
std::span<const PlayerEvent> player_events();

// The table's entry, or null when the control does not have that event.
const PlayerEvent* find_player_event(QStringView control, ControlEvent event);

// Binds each served event of the table to its control. Called once for each new player window,
// before its load event runs.
void Connect_Player_Handlers(Player& p);

}  // namespace vantora
