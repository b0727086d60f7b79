// How fast the simulated runtime plays virtual time: a whole day with the player's busiest timer
// (500 ms), and with all six of the player's timers, each handler doing a trivial amount of work;
// then the whole program over generated days: a day of filler alone, the realistic day (about 40
// shows of two to four segments, 200 ad breaks over a catalogue of 5,000 ads, news, filler for
// four dayparts; goal: under 2 s), and a week of such days (goal: under 10 s, the resident memory
// flat after the first day: `rss_growth_kb` is the largest rise over `rss_first_day_kb`, the
// resident set at the first day's end).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench_support.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/sim_runtime.h"
#include "sim/simulation.h"
#include "tools/daygen/day_generator.h"

namespace {

using vantora::bench::rss_kb;

using vantora::sim::SimRuntime;

constexpr std::int64_t kDayMs = 86'400'000;
constexpr std::int64_t kHourMs = 3'600'000;

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

// The whole program from start-up over a generated channel; each run on a fresh copy of the
// schedule, since a run marks its rows.
void run_generated(benchmark::State& state, const vantora::daygen::DayParameters& parameters,
                   int days) {
  QTemporaryDir folder;
  const vantora::daygen::GeneratedDay day =
      vantora::daygen::generate_day(folder.filePath(QStringLiteral("channel")), parameters);
  const QString schedule = QDir(day.folder).filePath(vantora::platform::kScheduleFileName);
  const QString pristine = folder.filePath(QStringLiteral("pristine.db"));
  QFile::copy(schedule, pristine);
  long growth_kb = 0;
  long after_first_day_kb = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (const char* side : {"", "-wal", "-shm"}) {
      QFile::remove(schedule + QString::fromLatin1(side));
    }
    QFile::copy(pristine, schedule);
    QFile::remove(QDir(day.folder).filePath(QStringLiteral("error.txt")));
    state.ResumeTiming();
    vantora::sim::SimulationOptions options;
    options.data_folder = day.folder;
    options.start = day.date;
    options.media_durations_path = day.media_durations;
    options.schedule_sharing = vantora::platform::SqliteScheduleStore::Sharing::kPrivate;
    vantora::sim::Simulation simulation(options);
    simulation.start();
    for (int hour = 0; hour < days * 24; ++hour) {
      simulation.run_for_ms(kHourMs);
      if (hour == 23) {
        after_first_day_kb = rss_kb();
      } else if (hour > 23) {
        growth_kb = std::max(growth_kb, rss_kb() - after_first_day_kb);
      }
      if (days > 1 && hour % 24 == 23) {
        // The counters keep only the worst rise; the per-day line shows whether it is a climb.
        std::fprintf(stderr, "day %d: rss %ld kB\n", hour / 24 + 1, rss_kb());
      }
    }
  }
  state.counters["simulated_days"] = days;
  state.counters["rss_first_day_kb"] = static_cast<double>(after_first_day_kb);
  state.counters["rss_growth_kb"] = static_cast<double>(growth_kb);
  state.counters["rss_kb"] = static_cast<double>(rss_kb());
}

void BM_GeneratedDayOfFillerOnly(benchmark::State& state) {
  vantora::daygen::DayParameters p;
  p.shows = p.ad_slots = p.ad_catalogue = p.news_breaks = p.daily_news = 0;
  run_generated(state, p, 1);
}
void BM_GeneratedRealisticDay(benchmark::State& state) {
  run_generated(state, {}, 1);
}
void BM_GeneratedRealisticWeek(benchmark::State& state) {
  vantora::daygen::DayParameters p;
  p.days = 7;
  run_generated(state, p, 7);
}

BENCHMARK(BM_GeneratedDayOfFillerOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GeneratedRealisticDay)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GeneratedRealisticWeek)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
