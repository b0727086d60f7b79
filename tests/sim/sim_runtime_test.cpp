#include "sim/sim_runtime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantora::sim {
namespace {

const DateTime kTen = date_time::from_parts(2026, 12, 6, 10);

// What the virtual clock alone promises: exact times and a repeatable order.
class SimRuntimeTest : public ::testing::Test {
 protected:
  SimRuntime runtime{kTen};
  std::vector<std::string> log;

  void note(const std::string& what) {
    log.push_back(std::to_string(runtime.now_ms() - date_time::to_linear_ms(kTen)) + " " + what);
  }
};

TEST_F(SimRuntimeTest, TimersTickOnTheirIntervalsInCreationOrderOnTies) {
  auto a = runtime.create_timer(QStringLiteral("a"), 500, [&] { note("a"); });
  auto b = runtime.create_timer(QStringLiteral("b"), 666, [&] { note("b"); });
  auto c = runtime.create_timer(QStringLiteral("c"), 1000, [&] { note("c"); });
  a->set_enabled(true);
  b->set_enabled(true);
  c->set_enabled(true);
  runtime.run_for_ms(1332);
  EXPECT_EQ(log, (std::vector<std::string>{"500 a", "666 b", "1000 a", "1000 c", "1332 b"}));
  EXPECT_EQ(runtime.now_ms() - date_time::to_linear_ms(kTen), 1332);
}

TEST_F(SimRuntimeTest, ALateTickKeepsNoBacklogAndTheIntervalCountsFromIt) {
  auto slow = runtime.create_timer(QStringLiteral("slow"), 1000, [&] {
    note("slow");
    if (log.size() == 1) {
      runtime.sleep_ms(3500);
    }
  });
  slow->set_enabled(true);
  runtime.run_for_ms(6000);
  EXPECT_EQ(log, (std::vector<std::string>{"1000 slow", "4500 slow", "5500 slow"}));
}

TEST_F(SimRuntimeTest, EnablingStartsAfreshAndReEnablingAnEnabledTimerDoesNot) {
  auto timer = runtime.create_timer(QStringLiteral("t"), 1000, [&] { note("t"); });
  timer->set_enabled(true);
  runtime.run_for_ms(700);
  timer->set_enabled(true);  // already running: its phase stays
  runtime.run_for_ms(500);
  timer->set_enabled(false);
  timer->set_enabled(true);  // restarted at 1200
  runtime.run_for_ms(1000);
  EXPECT_EQ(log, (std::vector<std::string>{"1000 t", "2200 t"}));
}

TEST_F(SimRuntimeTest, AHandlerMayDestroyItsOwnTimer) {
  std::unique_ptr<ports::Timer> timer;
  timer = runtime.create_timer(QStringLiteral("once"), 100, [&] {
    note("once");
    timer.reset();
  });
  timer->set_enabled(true);
  runtime.run_for_ms(1000);
  EXPECT_EQ(log, (std::vector<std::string>{"100 once"}));
}

TEST_F(SimRuntimeTest, InjectedEventsRunAtTheirTimeBetweenTimerTicks) {
  auto timer = runtime.create_timer(QStringLiteral("t"), 500, [&] { note("tick"); });
  timer->set_enabled(true);
  runtime.post_at(date_time::add_seconds(kTen, 0.75), [&] { note("click"); });
  runtime.post_at(date_time::add_seconds(kTen, 0.5), [&] { note("clipboard"); });
  runtime.run_for_ms(1000);
  // At 500 ms the timer was created first, so its tick runs before the clipboard change.
  EXPECT_EQ(log, (std::vector<std::string>{"500 tick", "500 clipboard", "750 click", "1000 tick"}));
}

TEST_F(SimRuntimeTest, AnInjectedEventWaitsForAYieldWhileTheThreadIsBusy) {
  runtime.post_at(date_time::add_seconds(kTen, 1), [&] { note("click"); });
  std::unique_ptr<ports::Timer> busy;
  busy = runtime.create_timer(QStringLiteral("busy"), 500, [&] {
    note("busy begins");
    runtime.sleep_ms(2000);
    note("busy yields");
    runtime.yield();
    note("busy ends");
    busy->set_enabled(false);
  });
  busy->set_enabled(true);
  runtime.run_for_ms(2600);
  EXPECT_EQ(log, (std::vector<std::string>{"500 busy begins", "2500 busy yields", "2500 click",
                                           "2500 busy ends"}));
}

TEST_F(SimRuntimeTest, QuitStopsTheLoopWhereItIs) {
  auto timer = runtime.create_timer(QStringLiteral("t"), 250, [&] {
    note("t");
    if (log.size() == 2) {
      runtime.quit();
    }
  });
  timer->set_enabled(true);
  runtime.run_for_ms(10'000);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(runtime.now_ms() - date_time::to_linear_ms(kTen), 500);
}

TEST_F(SimRuntimeTest, SameInputsGiveTheSameRun) {
  auto run_once = [] {
    SimRuntime sim(kTen);
    std::vector<std::int64_t> ticks;
    auto a = sim.create_timer(QStringLiteral("a"), 666, [&] { ticks.push_back(sim.now_ms()); });
    auto b = sim.create_timer(QStringLiteral("b"), 937, [&] {
      ticks.push_back(-sim.now_ms());
      sim.sleep_ms(300);
      sim.yield();
    });
    a->set_enabled(true);
    b->set_enabled(true);
    sim.run_for_ms(60'000);
    return ticks;
  };
  EXPECT_EQ(run_once(), run_once());
}

}  // namespace
}  // namespace vantora::sim
