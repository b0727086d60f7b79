#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "ports/runtime.h"

namespace vantora::sim {

class SimTimer;

// The runtime on a virtual local clock. Nothing waits for real: a sleep moves the clock, the event
// loop jumps from one due event to the next, so a whole day runs as fast as the handlers allow,
// and the same inputs give the same run every time.
//
// Events due at the same virtual millisecond run in the order they were created (timers) or
// posted (everything else).
//
// Setting the time of day moves the wall clock that now() reads, as on a real machine: the
// schedule follows it, while timers, sleeps, media positions and the loop's own span run on the
// runtime's steady line (now_ms()), so no tick is lost or repeated by the jump.
class SimRuntime final : public ports::Runtime {
 public:
  explicit SimRuntime(DateTime start);
  ~SimRuntime() override;
  SimRuntime(const SimRuntime&) = delete;
  SimRuntime& operator=(const SimRuntime&) = delete;

  DateTime now() const override;
  void set_time_of_day(DateTime time_of_day) override;
  // Told the wall clock's old and new reading each time it is set (the trace records it).
  std::function<void(DateTime from, DateTime to)> on_clock_set;
  void sleep_ms(int duration_ms) override;
  void yield() override;
  std::unique_ptr<ports::Timer> create_timer(QString name, int interval_ms,
                                             std::function<void()> on_tick) override;
  void post(std::function<void()> event) override;

  // Queues an event (a click, a clipboard change) at a virtual wall-clock moment, read with the
  // clock as it is set now; it runs at the first yield or loop pass at or after that moment.
  void post_at(DateTime when, std::function<void()> event);

  // Runs the event loop until the clock reaches `end` (read with the clock as it is set now) or
  // `quit()` is called from a handler. The clock stands at `end` afterwards unless the loop was
  // quit earlier or the clock was set meanwhile.
  void run_until(DateTime end);
  void run_for_ms(std::int64_t duration_ms);
  void quit() { quit_requested_ = true; }
  bool quit_requested() const { return quit_requested_; }

  // The steady line: milliseconds on the linear time line of date_time::to_linear_ms, counted
  // from the start moment and never moved by setting the clock.
  std::int64_t now_ms() const { return now_ms_; }
  // Timer ticks and posted events dispatched so far: a cheap progress and cost measure.
  std::uint64_t events_dispatched() const { return events_dispatched_; }

 private:
  friend class SimTimer;
  struct Key {
    std::int64_t due_ms;
    std::uint64_t sequence;
    friend auto operator<=>(const Key&, const Key&) = default;
  };
  struct Candidate {
    Key key;
    SimTimer* timer;  // null for a posted event
  };

  std::uint64_t next_sequence() { return sequence_++; }
  void register_timer(SimTimer* timer);
  void unregister_timer(SimTimer* timer);
  bool earliest(std::int64_t not_after_ms, Candidate* out) const;
  void dispatch(const Candidate& candidate);
  void fire(SimTimer& timer);

  std::int64_t now_ms_;
  std::int64_t wall_offset_ms_ = 0;  // wall clock minus the steady line
  std::uint64_t sequence_ = 0;
  std::uint64_t events_dispatched_ = 0;
  bool quit_requested_ = false;
  std::map<std::uint64_t, SimTimer*> timers_;  // by creation sequence
  std::map<Key, std::function<void()>> posted_;
};

}  // namespace vantora::sim
