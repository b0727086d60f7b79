#pragma once

#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace vantora::testing {

// Polls on the real clock until `done` holds; false when `timeout_ms` passed first. For tests of
// real processes and the X server, which answer in their own time.
inline bool wait_until(const std::function<bool()>& done, int timeout_ms, int poll_ms = 10) {
  QElapsedTimer waited;
  waited.start();
  while (!done()) {
    if (waited.elapsed() > timeout_ms) {
      return false;
    }
    QThread::msleep(static_cast<unsigned long>(poll_ms));
  }
  return true;
}

}  // namespace vantora::testing
