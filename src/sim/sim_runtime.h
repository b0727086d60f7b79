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
class SimRuntime final : public ports::Runtime {
 public:
  explicit SimRuntime(DateTime start);
  ~SimRuntime() override;
  SimRuntime(const SimRuntime&) = delete;
  SimRuntime& operator=(const SimRuntime&) = delete;

  DateTime now() const override;
  void sleep_ms(int duration_ms) override;
  void yield() override;
  std::unique_ptr<ports::Timer> create_timer(QString name, int interval_ms,
                                             std::function<void()> on_tick) override;
  void post(std::function<void()> event) override;

  // Queues an event (a click, a clipboard change) at a virtual moment; it runs at the first yield
  // or loop pass at or after that moment.
  void post_at(DateTime when, std::function<void()> event);

  // Runs the event loop until the clock reaches `end` or `quit()` is called from a handler. The
  // clock stands at `end` afterwards unless the loop was quit earlier.
  void run_until(DateTime end);
  void run_for_ms(std::int64_t duration_ms);
  void quit() { quit_requested_ = true; }
  bool quit_requested() const { return quit_requested_; }

  // Milliseconds on the linear time line of date_time::to_linear_ms.
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
  std::uint64_t sequence_ = 0;
  std::uint64_t events_dispatched_ = 0;
  bool quit_requested_ = false;
  std::map<std::uint64_t, SimTimer*> timers_;  // by creation sequence
  std::map<Key, std::function<void()>> posted_;
};

}  // namespace vantora::sim
