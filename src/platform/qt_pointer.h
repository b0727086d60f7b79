#pragma once

#include "ports/pointer.h"

namespace vantora::platform {

// The pointer through Qt. Needs a QGuiApplication.
class QtPointer final : public ports::Pointer {
 public:
  void SetCursorPos(int x_px, int y_px) override;
};

}  // namespace vantora::platform
