#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <memory>

#include "platform/qt/qt_runtime.h"
#include "sim/sim_runtime.h"

namespace vantora::testing {

// Runs a runtime's event loop for a while, so one test body can check the timer rules on the
// virtual clock and on Qt's real one.
class SimDriver {
 public:
  ports::Runtime& runtime() { return runtime_; }
  void run_for_ms(int duration_ms) { runtime_.run_for_ms(duration_ms); }
  std::int64_t elapsed_ms() const { return runtime_.now_ms() - start_ms_; }

 private:
  sim::SimRuntime runtime_{date_time::from_parts(2026, 12, 6, 10)};
  std::int64_t start_ms_ = runtime_.now_ms();
};

class QtDriver {
 public:
  QtDriver() { clock_.start(); }
  ports::Runtime& runtime() { return runtime_; }
  void run_for_ms(int duration_ms) {
    QEventLoop loop;
    QTimer::singleShot(duration_ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
  std::int64_t elapsed_ms() const { return clock_.elapsed(); }

 private:
  platform::QtRuntime runtime_;
  QElapsedTimer clock_;
};

}  // namespace vantora::testing
