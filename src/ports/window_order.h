#pragma once

#include <cstdint>

namespace vantora::ports {

enum class ZPlace { kBottom, kTopmost };

// The stacking of top-level windows, by handle. Nothing here activates a window.
class WindowOrder {
 public:
  virtual ~WindowOrder() = default;

  // The window directly below `hwnd` in the z-order; 0 when none.
  virtual std::int32_t window_below(std::int32_t hwnd) const = 0;

  // Moves, sizes and restacks a window (SetWindowPos without activation); pixels.
  virtual void set_window_pos(std::int32_t hwnd, ZPlace place, int x, int y, int width,
                              int height) = 0;
};

}  // namespace vantora::ports
