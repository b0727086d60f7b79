#pragma once

#include "ports/pointer.h"

namespace vantora::sim {

// The pointer of the simulated desktop: it only remembers where it was put.
class SimPointer final : public ports::Pointer {
 public:
  void SetCursorPos(int x_px, int y_px) override {
    x_px_ = x_px;
    y_px_ = y_px;
  }
  int x_px() const { return x_px_; }
  int y_px() const { return y_px_; }

 private:
  int x_px_ = -1;
  int y_px_ = -1;
};

}  // namespace vantora::sim
