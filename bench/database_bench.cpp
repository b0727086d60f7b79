// The schedule database's two hot paths: the movie timer's position save (one column of one
// row, written at once) and a 5,000-row requery followed by the two-key sort. Each reports its
// median and 99th percentile per operation as counters (p50_us, p99_us).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <vector>

#include "base/date_time.h"
#include "bench_support.h"
#include "core/database/data_environment.h"
#include "platform/sql/sqlite_schedule_store.h"

namespace {

using vantora::db::DataEnvironment;
using vantora::db::Recordset;

class LatencyRecorder {
 public:
  void start() { started_ = std::chrono::steady_clock::now(); }
  void stop() {
    samples_.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started_)
            .count());
  }
  void report(benchmark::State& state) { vantora::bench::report_latencies(state, samples_, "us"); }

 private:
  std::chrono::steady_clock::time_point started_;
  std::vector<double> samples_;
};

struct Schedule {
  QTemporaryDir folder;
  DataEnvironment data{vantora::platform::sqlite_store_factory()};

  Schedule() {
    vantora::platform::create_schedule(folder.path());
    data.set_data_folder(folder.path());
  }
};

void BM_PositionSave(benchmark::State& state) {
  Schedule schedule;
  Recordset& rs = schedule.data.rsplaylist;
  rs.open();
  for (int i = 0; i < 40; ++i) {
    rs.add_new();
    rs.set_field(0, QVariant::fromValue(vantora::date_time::from_parts(2026, 12, 6, 8 + i / 4)));
    rs.set_field(2, QStringLiteral("/media/movie%1.mp4").arg(i));
    rs.update();
  }
  rs.set_sort(QStringLiteral("seg_start_time"));
  rs.move_first();
  for (int i = 0; i < 20; ++i) {
    rs.move_next();
  }
  LatencyRecorder latency;
  double position = 0.0;
  for (auto _ : state) {
    position += 0.5;
    latency.start();
    rs.set_field(16, position);
    rs.update();
    latency.stop();
  }
  latency.report(state);
}
BENCHMARK(BM_PositionSave)->Unit(benchmark::kMicrosecond)->Iterations(5000);

// 5,000 catalogue items spread over the day, five priorities.
void fill_catalogue(Recordset& rs) {
  for (int i = 0; i < 5000; ++i) {
    rs.add_new();
    rs.set_field(0, QStringLiteral("item %1").arg(i));
    rs.set_field(1, QVariant::fromValue(vantora::date_time::from_time_of_day(
                        (i * 7) % 24, (i * 13) % 60, (i * 31) % 60)));
    rs.set_field(2, QStringLiteral("caption of item %1").arg(i));
    rs.set_field(3, QVariant::fromValue(vantora::date_time::from_parts(2026, 1, 1)));
    rs.set_field(4, QVariant::fromValue(vantora::date_time::from_parts(2026, 12, 31)));
    rs.set_field(5, QStringLiteral("/media/ads/item%1.mp4").arg(i));
    rs.set_field(7, 30.0);
    rs.set_field(12, (i * 17) % 5);
    rs.update();
  }
}

void BM_Requery5000AndSort(benchmark::State& state) {
  Schedule schedule;
  Recordset& rs = schedule.data.rsAdv;
  rs.open();
  fill_catalogue(rs);
  LatencyRecorder latency;
  int edit = 0;
  for (auto _ : state) {
    // A table nobody wrote is not read again; one changed row makes the requery read it all.
    rs.move_first();
    rs.set_field(8, QStringLiteral("edit %1").arg(++edit));
    rs.update();
    latency.start();
    rs.requery();
    rs.set_sort(QStringLiteral("time, Priority"));
    latency.stop();
  }
  latency.report(state);
}
BENCHMARK(BM_Requery5000AndSort)->Unit(benchmark::kMillisecond)->Iterations(100);

// The sort alone, to tell it from the reading.
void BM_Sort5000(benchmark::State& state) {
  Schedule schedule;
  Recordset& rs = schedule.data.rsAdv;
  rs.open();
  fill_catalogue(rs);
  LatencyRecorder latency;
  for (auto _ : state) {
    latency.start();
    rs.set_sort(QStringLiteral("time, Priority"));
    latency.stop();
  }
  latency.report(state);
}
BENCHMARK(BM_Sort5000)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace
