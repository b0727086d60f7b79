#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/qt/qt_runtime.h"
#include "sim/sim_runtime.h"

namespace vantora {
namespace {

// A function, not a global: a global would be computed before the date library's constants.
DateTime ten() {
  return date_time::from_parts(2026, 12, 6, 10);
}
using Timers = std::vector<std::unique_ptr<ports::Timer>>;

// The virtual clock's own promises: exact times, injected events between ticks in a fixed order.
// Each script sets timers up; `note` logs "ms-since-start what".
TEST(SimRuntime, RunsEventsAtExactVirtualTimes) {
  struct Case {
    const char* name;
    std::function<void(sim::SimRuntime&, Timers&, std::function<void(const char*)>)> script;
    int run_ms;
    std::vector<std::string> expected;
  };
  const auto every = [](sim::SimRuntime& r, Timers& t, int interval_ms, auto on_tick) {
    t.push_back(r.create_timer(QStringLiteral("t"), interval_ms, on_tick));
    t.back()->set_enabled(true);
  };
  const Case cases[] = {
      {"ties go in creation order",
       [&](auto& r, auto& t, auto note) {
         every(r, t, 500, [=] { note("a"); });
         every(r, t, 666, [=] { note("b"); });
         every(r, t, 1000, [=] { note("c"); });
       },
       1332,
       {"500 a", "666 b", "1000 a", "1000 c", "1332 b"}},
      {"enabling restarts the interval, re-enabling a running timer does not",
       [&](auto& r, auto& t, auto note) {
         every(r, t, 1000, [=] { note("t"); });
         r.post_at(date_time::add_seconds(ten(), 0.7), [&t] { t[0]->set_enabled(true); });
         r.post_at(date_time::add_seconds(ten(), 1.2), [&t] {
           t[0]->set_enabled(false);
           t[0]->set_enabled(true);
         });
       },
       2300,
       {"1000 t", "2200 t"}},
      {"a handler may destroy its own timer",
       [&](auto& r, auto& t, auto note) {
         every(r, t, 100, [&t, note] {
           note("once");
           t.clear();
         });
       },
       1000,
       {"100 once"}},
      {"injected events run at their time, after a timer due at the same moment",
       [&](auto& r, auto& t, auto note) {
         every(r, t, 500, [=] { note("tick"); });
         r.post_at(date_time::add_seconds(ten(), 0.75), [=] { note("click"); });
         r.post_at(date_time::add_seconds(ten(), 0.5), [=] { note("clipboard"); });
       },
       1000,
       {"500 tick", "500 clipboard", "750 click", "1000 tick"}},
      {"an injected event waits for a yield while the thread is busy",
       [&](auto& r, auto& t, auto note) {
         r.post_at(date_time::add_seconds(ten(), 1), [=] { note("click"); });
         every(r, t, 500, [&r, &t, note] {
           note("busy begins");
           r.sleep_ms(2000);
           r.yield();
           note("busy ends");
           t[0]->set_enabled(false);
         });
       },
       2600,
       {"500 busy begins", "2500 click", "2500 busy ends"}},
      {"quit stops the loop where it is",
       [&](auto& r, auto& t, auto note) {
         every(r, t, 250, [&r, note, n = 0]() mutable {
           note("t");
           if (++n == 2) {
             r.quit();
           }
         });
       },
       10'000,
       {"250 t", "500 t", "500 stopped"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SimRuntime runtime(ten());
    std::vector<std::string> log;
    const auto note = [&](const char* what) {
      log.push_back(std::to_string(runtime.now_ms() - date_time::to_linear_ms(ten())) + " " + what);
    };
    Timers timers;
    c.script(runtime, timers, note);
    runtime.run_for_ms(c.run_ms);
    if (runtime.quit_requested()) {
      note("stopped");
    }
    EXPECT_EQ(log, c.expected);
  }
}

// The timer rules every part of the player counts on, on both runtimes. Intervals are short so
// the real clock keeps the suite quick; assertions leave the real clock its jitter.
class SimDriver {
 public:
  ports::Runtime& runtime() { return runtime_; }
  void run_for_ms(int duration_ms) { runtime_.run_for_ms(duration_ms); }

 private:
  sim::SimRuntime runtime_{ten()};
};

class QtDriver {
 public:
  ports::Runtime& runtime() { return runtime_; }
  void run_for_ms(int duration_ms) {
    QEventLoop loop;
    QTimer::singleShot(duration_ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }

 private:
  platform::QtRuntime runtime_;
};

template <typename Driver>
class RealRuntime : public ::testing::Test {
 protected:
  Driver driver;
  ports::Runtime& runtime() { return driver.runtime(); }
};

// "Sim" and "Qt" in the test names; the Qt ones carry the realtime label.
struct DriverName {
  template <typename T>
  static std::string GetName(int) {
    return std::is_same_v<T, SimDriver> ? "Sim" : "Qt";
  }
};
using Drivers = ::testing::Types<SimDriver, QtDriver>;
TYPED_TEST_SUITE(RealRuntime, Drivers, DriverName);

TYPED_TEST(RealRuntime, ATickMissedDuringASleepFiresOnceAfterwards) {
  int fast_ticks = 0;
  bool slept = false;
  auto fast = this->runtime().create_timer(QStringLiteral("fast"), 20, [&] { ++fast_ticks; });
  auto sleeper = this->runtime().create_timer(QStringLiteral("sleeper"), 30, [&] {
    if (!std::exchange(slept, true)) {
      const int before = fast_ticks;
      this->runtime().sleep_ms(200);  // ten fast intervals pass with the thread blocked
      EXPECT_EQ(fast_ticks, before) << "a sleep must not run any event";
    }
  });
  fast->set_enabled(true);
  sleeper->set_enabled(true);
  this->driver.run_for_ms(40);  // the sleeper's first tick blocks for 200 ms inside this run
  const int after_sleep = fast_ticks;
  sleeper->set_enabled(false);
  // Right after the sleep the missed ticks collapse into one, then the interval counts afresh.
  EXPECT_LE(after_sleep, 3);
  this->driver.run_for_ms(15);
  EXPECT_LE(fast_ticks - after_sleep, 1);
}

// A timer disabled while it is due, before the yield that would serve it, does not tick.
TYPED_TEST(RealRuntime, AHandlerNeverReentersItselfAndAYieldRunsOnlyTheOthersStillEnabled) {
  int depth = 0;
  int max_depth = 0;
  int victim_ticks = 0;
  std::vector<std::string> order;
  auto victim = this->runtime().create_timer(QStringLiteral("victim"), 10, [&] { ++victim_ticks; });
  auto other = this->runtime().create_timer(QStringLiteral("other"), 10, [&] {
    if (order.size() < 3) {
      order.emplace_back("other");
    }
  });
  auto host = this->runtime().create_timer(QStringLiteral("host"), 10, [&] {
    max_depth = std::max(max_depth, ++depth);
    if (order.empty()) {
      order.emplace_back("host begins");
      for (int i = 0; i < 3; ++i) {
        this->runtime().sleep_ms(15);  // its own next tick, the other's and the victim's fall due
        victim->set_enabled(false);
        this->runtime().yield();
      }
      order.emplace_back("host ends");
    }
    --depth;
  });
  host->set_enabled(true);
  this->driver.run_for_ms(5);
  other->set_enabled(true);
  victim->set_enabled(true);  // due at 15 ms, while the host's first tick sleeps
  this->driver.run_for_ms(100);
  EXPECT_EQ(max_depth, 1);
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0], "host begins");
  EXPECT_EQ(order[1], "other");
  EXPECT_EQ(victim_ticks, 0);
}

}  // namespace
}  // namespace vantora
