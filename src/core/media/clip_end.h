#pragma once

#include "core/shell/player_state.h"

namespace vantora {

// How long a timer tick may wait for the clip's end: a tick never blocks on the media.
inline constexpr int kClipEndWait_ms = 10;

// The one place the end of a clip is noticed (the ad timer, and the news timer while news
// plays): waits at most 10 ms for the current graph's completion event and clears ClipPlaying
// when the clip has played to its end; true then. A clip still playing is false, not an error:
// it is the answer of nearly every tick. No graph raises err::kObjectVariableNotSet.
bool Poll_Clip_End(MediaGraphRefs& graph);

}  // namespace vantora
