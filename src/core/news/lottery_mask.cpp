#include "core/news/lottery_mask.h"

#include <algorithm>

namespace vantora::lottery {

QString mask_text(int revealed) {
  constexpr int kNumbers = 5;
  const int shown = std::clamp(revealed, 0, kNumbers);
  return QString(shown, QLatin1Char('X')) + QString(kNumbers - shown, QLatin1Char('?'));
}

}  // namespace vantora::lottery
