#pragma once

#include <QString>

namespace vantora::lottery {

// The lottery label over the picture: one "X" per number already revealed, one "?" per number
// still to come, five in all. A count outside 0 to 5 (a hand-edited counter) is clamped for the
// label only; the stored counter is left as it is.
QString mask_text(int revealed);

}  // namespace vantora::lottery
