#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/runtime_drivers.h"

namespace vantora {
namespace {

// The timer rules every part of the player counts on, checked on both runtimes. Intervals are
// short so the real clock keeps the suite quick; assertions leave the real clock its jitter.
template <typename Driver>
class RuntimeSemantics : public ::testing::Test {
 protected:
  Driver driver;
  ports::Runtime& runtime() { return driver.runtime(); }
};

using Drivers = ::testing::Types<testing::SimDriver, testing::QtDriver>;
TYPED_TEST_SUITE(RuntimeSemantics, Drivers);

TYPED_TEST(RuntimeSemantics, ATickMissedDuringASleepFiresOnceAfterwards) {
  int fast_ticks = 0;
  bool slept = false;
  auto fast = this->runtime().create_timer(QStringLiteral("fast"), 20, [&] { ++fast_ticks; });
  auto sleeper = this->runtime().create_timer(QStringLiteral("sleeper"), 30, [&] {
    if (!slept) {
      slept = true;
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

TYPED_TEST(RuntimeSemantics, AHandlerNeverReentersItself) {
  int depth = 0;
  int max_depth = 0;
  int ticks = 0;
  auto timer = this->runtime().create_timer(QStringLiteral("self"), 10, [&] {
    ++ticks;
    ++depth;
    max_depth = std::max(max_depth, depth);
    if (ticks == 1) {
      for (int i = 0; i < 5; ++i) {
        this->runtime().sleep_ms(15);  // its own next tick falls due here
        this->runtime().yield();
      }
    }
    --depth;
  });
  timer->set_enabled(true);
  this->driver.run_for_ms(150);
  EXPECT_EQ(max_depth, 1);
  EXPECT_GT(ticks, 1) << "the timer goes on ticking once its handler returned";
}

TYPED_TEST(RuntimeSemantics, AYieldInsideAHandlerRunsOtherTimers) {
  std::vector<std::string> order;
  auto other = this->runtime().create_timer(QStringLiteral("other"), 10,
                                            [&] { order.emplace_back("other"); });
  auto host = this->runtime().create_timer(QStringLiteral("host"), 10, [&] {
    order.emplace_back("host begins");
    this->runtime().sleep_ms(30);
    this->runtime().yield();
    order.emplace_back("host ends");
  });
  host->set_enabled(true);
  this->driver.run_for_ms(5);
  other->set_enabled(true);
  this->driver.run_for_ms(12);
  host->set_enabled(false);
  other->set_enabled(false);
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0], "host begins");
  EXPECT_EQ(order[1], "other");
  EXPECT_EQ(order[2], "host ends");
}

TYPED_TEST(RuntimeSemantics, DisablingInsideAnotherHandlerStopsADueTick) {
  int victim_ticks = 0;
  std::unique_ptr<ports::Timer> victim =
      this->runtime().create_timer(QStringLiteral("victim"), 10, [&] { ++victim_ticks; });
  auto killer = this->runtime().create_timer(QStringLiteral("killer"), 10, [&] {
    this->runtime().sleep_ms(25);  // the victim is due now
    victim->set_enabled(false);
    this->runtime().yield();
  });
  killer->set_enabled(true);
  this->driver.run_for_ms(5);
  victim->set_enabled(true);  // due at 15 ms, while the killer's first tick sleeps
  this->driver.run_for_ms(60);
  killer->set_enabled(false);
  EXPECT_EQ(victim_ticks, 0);
  EXPECT_FALSE(victim->enabled());
}

TYPED_TEST(RuntimeSemantics, PostedEventsRunAtTheNextYield) {
  std::vector<int> seen;
  this->runtime().post([&] { seen.push_back(1); });
  this->runtime().post([&] { seen.push_back(2); });
  EXPECT_TRUE(seen.empty());
  this->runtime().yield();
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace vantora
