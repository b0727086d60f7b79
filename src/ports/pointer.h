#pragma once

namespace vantora::ports {

// The mouse pointer, parked out of the picture before each clip.
class Pointer {
 public:
  virtual ~Pointer() = default;
  virtual void SetCursorPos(int x_px, int y_px) = 0;
};

}  // namespace vantora::ports
