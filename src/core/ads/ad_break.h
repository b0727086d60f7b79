#pragma once

#include "core/shell/player.h"

namespace vantora {

// What the ad timer's tick does after its break step.
enum class BreakStep {
  kGoOn,     // the tick restores the window order as usual
  kEndTick,  // the break has just ended and the resumed programme has the screen
};

// The ad timer's break step: warns the designer before the prepared break, starts it when due,
// plays its items one per completion and resumes the interrupted programme after the last.
BreakStep Run_Break_Step(Player& p);

}  // namespace vantora
