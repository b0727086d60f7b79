#pragma once

#include "ports/runtime.h"

namespace vantora::platform {

// The runtime on the real clock and Qt's event loop. Needs a QCoreApplication (or a
// QApplication) on the calling thread.
class QtRuntime final : public ports::Runtime {
 public:
  DateTime now() const override;
  // Through clock_settime: needs CAP_SYS_TIME (see the README), and a running time daemon sets
  // the clock back.
  void set_time_of_day(DateTime time_of_day) override;
  void sleep_ms(int duration_ms) override;
  void yield() override;
  std::unique_ptr<ports::Timer> create_timer(QString name, int interval_ms,
                                             std::function<void()> on_tick) override;
  void post(std::function<void()> event) override;
};

}  // namespace vantora::platform
