// What preparing a break costs while a segment plays: AD_Slot_Search over 200 break slots and a
// catalogue of 5,000 ads in the schedule database. It runs between two ticks of the 500 ms movie
// timer, so its median must stay far below that. Each case reports its median and 99th percentile
// per search as counters (p50_ms, p99_ms).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <vector>

#include "bench_support.h"
#include "core/ads/slot_search.h"
#include "core/database/data_environment.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/sim_desktop.h"
#include "sim/sim_file_lister.h"
#include "sim/sim_media_engine.h"
#include "sim/sim_picture_loader.h"
#include "sim/sim_runtime.h"

namespace {

using namespace vantora;

constexpr int kSlots = 200;
constexpr int kAds = 5000;
constexpr int kSlotSpacingS = 5 * 60;  // 06:00 to 22:35

class FixedPosition final : public ports::MediaPosition {
 public:
  double CurrentPosition() const override { return 0.0; }
  void put_CurrentPosition(double) override {}
  double Duration() const override { return 0.0; }
};

DateTime slot_time(int slot) {
  return date_time::add_seconds(date_time::from_time_of_day(6, 0, 0), slot * kSlotSpacingS);
}

// Every slot has 25 ads, valid all year; `valid_until` ends them earlier to leave slots empty.
void fill(db::DataEnvironment& data, DateTime valid_until) {
  db::Recordset& slots = data.rsAd_Slot;
  slots.open();
  for (int i = 0; i < kSlots; ++i) {
    slots.add_new();
    slots.set_field(1, QVariant::fromValue(slot_time(i)));
    slots.set_field(3, 0);
    slots.update();
  }
  db::Recordset& adv = data.rsAdv;
  adv.open();
  for (int i = 0; i < kAds; ++i) {
    adv.add_new();
    adv.set_field(1, QVariant::fromValue(slot_time(i % kSlots)));
    adv.set_field(2, QStringLiteral("caption of ad %1").arg(i));
    adv.set_field(3, QVariant::fromValue(date_time::from_parts(2026, 1, 1)));
    adv.set_field(4, QVariant::fromValue(valid_until));
    adv.set_field(5, QStringLiteral("/media/ads/ad%1.mp4").arg(i));
    adv.set_field(7, 30.0);
    adv.set_field(12, (i * 17) % 5);
    adv.update();
  }
  data.rsADTemp.open();
  slots.set_sort(QStringLiteral("time"));
  adv.set_sort(QStringLiteral("time"));
}

// Searches from 12:01 for a segment that ends `window_s` later.
void run(benchmark::State& state, int window_s, DateTime valid_until) {
  QTemporaryDir folder;
  platform::create_schedule(folder.path());
  db::DataEnvironment data(platform::sqlite_store_factory());
  data.set_data_folder(folder.path());
  fill(data, valid_until);

  sim::SimRuntime runtime(date_time::from_parts(2026, 12, 6, 12, 1));
  Globals globals;
  globals.DataFolder = folder.path();
  sim::SimFileLister files;
  sim::Trace trace(runtime);
  sim::SimDesktop desktop(runtime, trace);
  sim::SimMediaEngine media(runtime, trace, sim::MediaManifest{});
  sim::SimPictureLoader pictures;
  Player player(ports::PlayerPorts{runtime, desktop, media, files, pictures}, globals, data);
  player.state.graph.m_objMediaPosition = std::make_shared<FixedPosition>();
  player.state.row.EndOffset = window_s;

  std::vector<double> samples_ms;
  for (auto _ : state) {
    const auto started = std::chrono::steady_clock::now();
    AD_Slot_Search(player);
    samples_ms.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count());
  }
  bench::report_latencies(state, std::move(samples_ms), "ms");
  state.counters["ad_temp_rows"] = data.rsADTemp.record_count();
}

// A 20-minute segment: the first slot of its window fills the break with 25 ads.
void BM_SlotSearchFirstSlotFills(benchmark::State& state) {
  run(state, 20 * 60, date_time::from_parts(2026, 12, 31));
}
BENCHMARK(BM_SlotSearchFirstSlotFills)->Unit(benchmark::kMillisecond)->Iterations(50);

// The same segment when no ad is valid any more: every slot of the window is fetched in vain.
void BM_SlotSearchWindowOfEmptySlots(benchmark::State& state) {
  run(state, 20 * 60, date_time::from_parts(2026, 12, 1));
}
BENCHMARK(BM_SlotSearchWindowOfEmptySlots)->Unit(benchmark::kMillisecond)->Iterations(50);

// A whole afternoon of empty slots: the worst a long film can ask for.
void BM_SlotSearchTenHoursOfEmptySlots(benchmark::State& state) {
  run(state, 10 * 3600, date_time::from_parts(2026, 12, 1));
}
BENCHMARK(BM_SlotSearchTenHoursOfEmptySlots)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
