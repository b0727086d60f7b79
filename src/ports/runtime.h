#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "base/date_time.h"

namespace vantora::ports {

// A repeating timer owned by the one user-interface thread. Its tick handler runs only when the
// thread is back in the event loop or yields; a tick that falls due while the thread is busy fires
// once, late. A timer never re-enters its own handler.
class Timer {
 public:
  virtual ~Timer() = default;

  // Enabling a disabled timer starts its interval afresh; enabling an enabled one changes nothing.
  // Disabling, even from inside any handler, stops further ticks at once.
  virtual void set_enabled(bool enabled) = 0;
  virtual bool enabled() const = 0;

  // A new interval takes effect from now when the timer runs.
  virtual void set_interval_ms(int interval_ms) = 0;
  virtual int interval_ms() const = 0;
};

// Time and waiting for the one user-interface thread. There is exactly one runtime per program
// and it is handed to whoever needs it; nothing reaches for a global clock.
class Runtime {
 public:
  virtual ~Runtime() = default;

  // Local wall-clock time, millisecond resolution.
  virtual DateTime now() const = 0;

  // Sets the wall clock's time of day, keeping its date; the schedule follows the new time while
  // sleeps and timer intervals keep their length. Error 70 when the process may not set it.
  virtual void set_time_of_day(DateTime time_of_day) = 0;

  // Blocks the thread: no timer tick, click or other event runs meanwhile.
  virtual void sleep_ms(int duration_ms) = 0;

  // Lets the pending events run once: due timer ticks, queued clicks, clipboard changes.
  virtual void yield() = 0;

  virtual std::unique_ptr<Timer> create_timer(QString name, int interval_ms,
                                              std::function<void()> on_tick) = 0;

  // Queues work to run on the thread at its next yield or return to the event loop.
  virtual void post(std::function<void()> event) = 0;
};

}  // namespace vantora::ports
