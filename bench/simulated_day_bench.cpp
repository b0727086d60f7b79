// How fast the simulated runtime plays virtual time: a whole day with the player's busiest timer
// (500 ms), and with all six of the player's timers, each handler doing a trivial amount of work.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "sim/sim_runtime.h"

namespace {

using vantora::sim::SimRuntime;

constexpr std::int64_t kDayMs = 86'400'000;

void run_day(benchmark::State& state, const std::vector<int>& intervals_ms) {
  std::int64_t ticks = 0;
  for (auto _ : state) {
    SimRuntime runtime(vantora::date_time::from_parts(2026, 12, 6));
    std::vector<std::unique_ptr<vantora::ports::Timer>> timers;
    for (const int interval_ms : intervals_ms) {
      timers.push_back(runtime.create_timer(QStringLiteral("t"), interval_ms,
                                            [&ticks] { benchmark::DoNotOptimize(++ticks); }));
      timers.back()->set_enabled(true);
    }
    runtime.run_for_ms(kDayMs);
  }
  state.counters["simulated_s_per_wall_s"] = benchmark::Counter(
      static_cast<double>(kDayMs / 1000) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  state.counters["ticks_per_day"] =
      static_cast<double>(ticks) / static_cast<double>(state.iterations());
}

void BM_DayWithOneHalfSecondTimer(benchmark::State& state) {
  run_day(state, {500});
}
void BM_DayWithThePlayersSixTimers(benchmark::State& state) {
  run_day(state, {500, 666, 500, 937, 15000, 1000});
}

BENCHMARK(BM_DayWithOneHalfSecondTimer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayWithThePlayersSixTimers)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
