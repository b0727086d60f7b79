#include "tests/e2e/operator_screen.h"

#include <cstdlib>

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above; libxdo's header
// has no C linkage guards of its own.
extern "C" {
#include <xdo.h>
}

namespace vantora::testing {

OperatorScreen::OperatorScreen(const QString& display)
    : name_(display.toLocal8Bit()), xdo_(xdo_new(name_.data())) {}

OperatorScreen::~OperatorScreen() {
  xdo_free(xdo_);
}

bool OperatorScreen::click(const forms::VisualControl& control) {
  xdo_search_t search{};
  search.winname = "^Vantora Player$";
  search.searchmask = SEARCH_NAME;
  search.only_visible = 1;
  search.max_depth = -1;
  search.require = xdo_search_t::SEARCH_ALL;
  Window* windows = nullptr;
  unsigned int count = 0;
  xdo_search_windows(xdo_, &search, &windows, &count);
  int x = 0;
  int y = 0;
  const bool found =
      count == 1 && xdo_get_window_location(xdo_, windows[0], &x, &y, nullptr) == XDO_SUCCESS;
  free(windows);
  return found &&
         xdo_move_mouse(xdo_, x + control.Left.get() + control.Width.get() / 2,
                        y + control.Top.get() + control.Height.get() / 2, 0) == XDO_SUCCESS &&
         xdo_click_window(xdo_, CURRENTWINDOW, 1) == XDO_SUCCESS;
}

}  // namespace vantora::testing
