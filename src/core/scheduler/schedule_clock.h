#pragma once

#include <cstdint>

#include "base/date_time.h"
#include "ports/runtime.h"

namespace vantora::schedule_clock {

// The scheduler reads the clock to the second and compares moments on the millisecond time line,
// so a schedule written to the second meets the clock exactly, with no rounding of day fractions.
inline DateTime now(const ports::Runtime& runtime) {
  return date_time::truncate_to_second(runtime.now());
}

inline std::int64_t ms(DateTime value) {
  return date_time::to_linear_ms(value);
}

inline std::int64_t now_ms(const ports::Runtime& runtime) {
  return ms(now(runtime));
}

inline std::int64_t seconds_to_ms(double seconds) {
  return static_cast<std::int64_t>(seconds * 1000.0 + (seconds < 0 ? -0.5 : 0.5));
}

}  // namespace vantora::schedule_clock
