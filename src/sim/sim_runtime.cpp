#include "sim/sim_runtime.h"

#include <algorithm>
#include <vector>

namespace vantora::sim {

class SimTimer final : public ports::Timer {
 public:
  SimTimer(SimRuntime& runtime, QString name, int interval_ms, std::function<void()> on_tick)
      : runtime_(runtime),
        name_(std::move(name)),
        interval_ms_(interval_ms),
        on_tick_(std::move(on_tick)),
        sequence_(runtime.next_sequence()) {
    runtime_.register_timer(this);
  }
  ~SimTimer() override { runtime_.unregister_timer(this); }
  SimTimer(const SimTimer&) = delete;
  SimTimer& operator=(const SimTimer&) = delete;

  void set_enabled(bool enabled) override {
    if (enabled == enabled_) {
      return;
    }
    enabled_ = enabled;
    if (enabled_) {
      due_ms_ = runtime_.now_ms() + interval_ms_;
    }
  }
  bool enabled() const override { return enabled_; }

  void set_interval_ms(int interval_ms) override {
    interval_ms_ = interval_ms;
    if (enabled_) {
      due_ms_ = runtime_.now_ms() + interval_ms_;
    }
  }
  int interval_ms() const override { return interval_ms_; }

  const QString& name() const { return name_; }

 private:
  friend class SimRuntime;

  bool can_fire() const { return enabled_ && !in_handler_ && interval_ms_ > 0; }

  SimRuntime& runtime_;
  QString name_;
  int interval_ms_;
  std::function<void()> on_tick_;
  std::uint64_t sequence_;
  bool enabled_ = false;
  bool in_handler_ = false;
  std::int64_t due_ms_ = 0;
};

SimRuntime::SimRuntime(DateTime start) : now_ms_(date_time::to_linear_ms(start)) {}

SimRuntime::~SimRuntime() = default;

DateTime SimRuntime::now() const {
  return date_time::from_linear_ms(now_ms_ + wall_offset_ms_);
}

void SimRuntime::set_time_of_day(DateTime time_of_day) {
  const DateTime from = now();
  const std::int64_t wall_ms = now_ms_ + wall_offset_ms_;
  const std::int64_t day_start_ms = wall_ms - ((wall_ms % kMsPerDay) + kMsPerDay) % kMsPerDay;
  const std::int64_t ms_of_day =
      ((date_time::to_linear_ms(time_of_day) % kMsPerDay) + kMsPerDay) % kMsPerDay;
  wall_offset_ms_ += day_start_ms + ms_of_day - wall_ms;
  if (on_clock_set) {
    on_clock_set(from, now());
  }
}

void SimRuntime::sleep_ms(int duration_ms) {
  if (duration_ms > 0) {
    now_ms_ += duration_ms;
  }
}

std::unique_ptr<ports::Timer> SimRuntime::create_timer(QString name, int interval_ms,
                                                       std::function<void()> on_tick) {
  return std::make_unique<SimTimer>(*this, std::move(name), interval_ms, std::move(on_tick));
}

void SimRuntime::post(std::function<void()> event) {
  posted_.emplace(Key{now_ms_, next_sequence()}, std::move(event));
}

void SimRuntime::post_at(DateTime when, std::function<void()> event) {
  posted_.emplace(Key{date_time::to_linear_ms(when) - wall_offset_ms_, next_sequence()},
                  std::move(event));
}

void SimRuntime::register_timer(SimTimer* timer) {
  timers_.emplace(timer->sequence_, timer);
}

void SimRuntime::unregister_timer(SimTimer* timer) {
  timers_.erase(timer->sequence_);
}

bool SimRuntime::earliest(std::int64_t not_after_ms, Candidate* out) const {
  bool found = false;
  for (const auto& [sequence, timer] : timers_) {
    if (!timer->can_fire() || timer->due_ms_ > not_after_ms) {
      continue;
    }
    const Key key{timer->due_ms_, sequence};
    if (!found || key < out->key) {
      *out = Candidate{key, timer};
      found = true;
    }
  }
  if (!posted_.empty() && posted_.begin()->first.due_ms <= not_after_ms &&
      (!found || posted_.begin()->first < out->key)) {
    *out = Candidate{posted_.begin()->first, nullptr};
    found = true;
  }
  return found;
}

void SimRuntime::dispatch(const Candidate& candidate) {
  ++events_dispatched_;
  if (candidate.timer != nullptr) {
    fire(*candidate.timer);
    return;
  }
  auto node = posted_.extract(candidate.key);
  if (!node.empty()) {
    node.mapped()();
  }
}

void SimRuntime::fire(SimTimer& timer) {
  // The next tick is set before the handler runs: a tick missed while the thread was busy is
  // not repeated, the interval then counts from now.
  std::int64_t next_due = timer.due_ms_ + timer.interval_ms_;
  if (next_due < now_ms_) {
    next_due = now_ms_ + timer.interval_ms_;
  }
  timer.due_ms_ = next_due;
  timer.in_handler_ = true;
  const std::uint64_t sequence = timer.sequence_;
  timer.on_tick_();
  // The handler may have destroyed its own timer.
  if (auto it = timers_.find(sequence); it != timers_.end()) {
    it->second->in_handler_ = false;
  }
}

void SimRuntime::yield() {
  // One pass over what is pending now; events that fall due during the pass wait for the next.
  std::vector<Candidate> pending;
  for (const auto& [sequence, timer] : timers_) {
    if (timer->can_fire() && timer->due_ms_ <= now_ms_) {
      pending.push_back(Candidate{Key{timer->due_ms_, sequence}, timer});
    }
  }
  for (const auto& [key, event] : posted_) {
    if (key.due_ms > now_ms_) {
      break;
    }
    pending.push_back(Candidate{key, nullptr});
  }
  std::sort(pending.begin(), pending.end(),
            [](const Candidate& a, const Candidate& b) { return a.key < b.key; });
  for (const Candidate& candidate : pending) {
    if (candidate.timer != nullptr) {
      // A handler run earlier in this pass may have destroyed, disabled or entered this timer.
      auto it = timers_.find(candidate.key.sequence);
      if (it == timers_.end() || !it->second->can_fire() || it->second->due_ms_ > now_ms_) {
        continue;
      }
    }
    dispatch(candidate);
  }
}

void SimRuntime::run_until(DateTime end) {
  const std::int64_t end_ms = date_time::to_linear_ms(end) - wall_offset_ms_;
  quit_requested_ = false;
  Candidate next{};
  while (!quit_requested_ && earliest(end_ms, &next)) {
    now_ms_ = std::max(now_ms_, next.key.due_ms);
    dispatch(next);
  }
  if (!quit_requested_) {
    now_ms_ = std::max(now_ms_, end_ms);
  }
}

void SimRuntime::run_for_ms(std::int64_t duration_ms) {
  run_until(date_time::from_linear_ms(now_ms_ + duration_ms));
}

}  // namespace vantora::sim
