#include "core/media/clip_end.h"

#include "base/object_ref.h"

namespace vantora {

bool Poll_Clip_End(MediaGraphRefs& graph) {
  if (object(graph.m_objMediaEvent).WaitForCompletion(kClipEndWait_ms) !=
      ports::Completion::kComplete) {
    return false;
  }
  graph.ClipPlaying = kFalse;
  return true;
}

}  // namespace vantora
