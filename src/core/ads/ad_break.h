#pragma once

#include "core/shell/player.h"
#include "core/shell/procedure.h"

namespace vantora {

// What the ad timer's tick does after its break step.
enum class BreakStep {
  kGoOn,     // the tick restores the window order as usual
  kEndTick,  // the break has just ended and the resumed programme has the screen
};

// Starts the break at the AD_Temp row the cursor stands on: the programme now playing is kept
// for its return, the item starts and the cursor steps past it; the ad timer plays the rest.
// Failures are logged under the caller's label.
void Start_Break(Player& p, Procedure& proc);

// The ad timer's break step: warns the designer before the prepared break, starts it when due,
// plays its items one per completion and resumes the interrupted programme after the last.
BreakStep Run_Break_Step(Player& p);

}  // namespace vantora
