// How long `plan` takes over the realistic generated day once the media lengths are cached: the
// snapshot, the dry run of the whole day and the findings (goal: under 2 s in a Release build).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "app/plan/plan_day.h"
#include "sim/media_manifest.h"
#include "tools/daygen/day_generator.h"

namespace {

void BM_PlanRealisticDay(benchmark::State& state) {
  QTemporaryDir folder;
  QTemporaryDir cache;
  const vantora::daygen::GeneratedDay day = vantora::daygen::generate_day(folder.path());
  QString error;
  const auto manifest = vantora::sim::MediaManifest::load(day.media_durations, &error);
  if (!manifest) {
    state.SkipWithError(qPrintable(error));
    return;
  }
  vantora::plan::PlanRequest request;
  request.data_folder = folder.path();
  request.start = vantora::date_time::to_qdatetime(day.date);
  request.until = request.start.addDays(1);
  request.probe = [&manifest](const QString& path) { return manifest->duration_s(path); };
  request.cache_path = cache.filePath(QStringLiteral("lengths.tsv"));
  vantora::plan::make_plan(request);  // fills the cache
  std::size_t findings = 0;
  std::size_t items = 0;
  for (auto _ : state) {
    const vantora::plan::PlanResult result = vantora::plan::make_plan(request);
    findings = result.plan.findings.size();
    items = result.plan.items.size();
  }
  state.counters["items"] = static_cast<double>(items);
  state.counters["findings"] = static_cast<double>(findings);
}

BENCHMARK(BM_PlanRealisticDay)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
