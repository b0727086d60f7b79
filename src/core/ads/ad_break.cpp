#include "core/ads/ad_break.h"

namespace vantora {

BreakStep Run_Break_Step(Player& /*p*/) {
  return BreakStep::kGoOn;
}

}  // namespace vantora
