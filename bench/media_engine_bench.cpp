// The libmpv engine as the player uses it, headless (video=none, audio=none): how long a graph
// takes from RenderFile to its first frame for a 640x360 H.264 clip (goal: median under 20 ms),
// how late the polling timers see a clip's end, and whether 3,000 graph rebuilds (a busy day's
// clips) leave the resident memory flat (goal: under 2 MB growth).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "base/errors.h"
#include "bench_support.h"
#include "platform/mpv/mpv_engine.h"

namespace {

using vantora::bench::percentile;
using vantora::bench::rss_kb;

using vantora::platform::AudioOutput;
using vantora::platform::MediaEngineOptions;
using vantora::platform::MpvEngine;
using vantora::platform::VideoOutput;
using Clock = std::chrono::steady_clock;

// The clips are made once per run and go with the program.
QTemporaryDir& clips() {
  static QTemporaryDir folder;
  return folder;
}

QString make_clip(const QString& name, double seconds) {
  const QString path = clips().filePath(name);
  if (QFile::exists(path)) {
    return path;
  }
  const QString length = QString::number(seconds);
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"), {"-v",
                                          "error",
                                          "-y",
                                          "-f",
                                          "lavfi",
                                          "-i",
                                          "testsrc=size=640x360:rate=25:duration=" + length,
                                          "-f",
                                          "lavfi",
                                          "-i",
                                          "sine=frequency=440:duration=" + length,
                                          "-c:v",
                                          "libx264",
                                          "-preset",
                                          "ultrafast",
                                          "-g",
                                          "37",
                                          "-pix_fmt",
                                          "yuv420p",
                                          "-c:a",
                                          "aac",
                                          "-movflags",
                                          "+faststart",
                                          path});
  ffmpeg.waitForFinished(60000);
  return path;
}

MediaEngineOptions headless() {
  return {VideoOutput::kNone, AudioOutput::kNone, 5000, {}};
}

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_RenderToFirstFrame(benchmark::State& state) {
  const QString clip = make_clip(QStringLiteral("render.mp4"), 10.0);
  MpvEngine engine(headless());
  std::vector<double> samples_ms;
  for (auto _ : state) {
    const auto start = Clock::now();
    auto graph = engine.create_graph(vantora::ports::MediaMode::kNormal);
    graph->RenderFile(clip);
    samples_ms.push_back(ms_since(start));
  }
  state.counters["median_ms"] = percentile(samples_ms, 0.5);
  state.counters["p95_ms"] = percentile(samples_ms, 0.95);
}
BENCHMARK(BM_RenderToFirstFrame)->Iterations(200)->Unit(benchmark::kMillisecond);

// From the moment the file's last frame is due to the moment a 10 ms completion poll, repeated
// as the ad timer does, reports the end.
void BM_CompletionLatency(benchmark::State& state) {
  const QString clip = make_clip(QStringLiteral("end.mp4"), 2.0);
  MpvEngine engine(headless());
  std::vector<double> samples_ms;
  for (auto _ : state) {
    auto graph = engine.create_graph(vantora::ports::MediaMode::kNormal);
    graph->RenderFile(clip);
    const double from_s = graph->Duration() - 0.5;
    graph->put_CurrentPosition(from_s);
    const auto start = Clock::now();
    graph->Run();
    while (graph->WaitForCompletion(10) != vantora::ports::Completion::kComplete) {
    }
    samples_ms.push_back(ms_since(start) - (graph->Duration() - from_s) * 1000.0);
  }
  state.counters["median_ms"] = percentile(samples_ms, 0.5);
  state.counters["p95_ms"] = percentile(samples_ms, 0.95);
}
BENCHMARK(BM_CompletionLatency)->Iterations(20)->Unit(benchmark::kMillisecond);

// Each rebuild is what Run_Movie does to the engine: a new graph, the old one released, the file
// rendered, sought and started.
void BM_ThreeThousandRebuilds(benchmark::State& state) {
  const QString clip = make_clip(QStringLiteral("render.mp4"), 10.0);
  MpvEngine engine(headless());
  std::shared_ptr<vantora::ports::MediaGraph> graph;
  auto rebuild = [&] {
    auto next = engine.create_graph(vantora::ports::MediaMode::kNormal);
    graph = next;
    graph->RenderFile(clip);
    graph->put_CurrentPosition(3.0);
    graph->Run();
  };
  for (int i = 0; i < 100; ++i) {  // caches and pools reach their working size first
    rebuild();
  }
  const long before_kb = rss_kb();
  for (auto _ : state) {
    for (int i = 0; i < 3000; ++i) {
      rebuild();
    }
  }
  const long after_kb = rss_kb();
  state.counters["rss_before_kb"] = static_cast<double>(before_kb);
  state.counters["rss_after_kb"] = static_cast<double>(after_kb);
  state.counters["rss_growth_kb"] = static_cast<double>(after_kb - before_kb);
}
BENCHMARK(BM_ThreeThousandRebuilds)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
