// What one tick of the two busiest timers costs. The movie timer's tick saves the position in the
// schedule database and, during a caption cycle, rewrites three status files (goal: p99 under
// 2 ms). The ad timer's tick of end-of-clip check, position, clock and window order on a clip
// playing through libmpv, where the 10 ms completion wait dominates (goal: p99 under 15 ms); and
// the same tick on the simulated engine and clock, where the waits cost nothing, which is the
// tick's own work (goal: p99 under 2 ms). Each case reports its median and 99th percentile per
// tick as counters (p50_ms, p99_ms).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "bench_support.h"
#include "core/ads/ad_timer.h"
#include "core/database/columns.h"
#include "core/database/data_environment.h"
#include "core/scheduler/movie_timer.h"
#include "platform/mpv/mpv_engine.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/sim_desktop.h"
#include "sim/sim_file_lister.h"
#include "sim/sim_media_engine.h"
#include "sim/sim_picture_loader.h"
#include "sim/sim_runtime.h"

namespace {

using namespace vantora;
using Clock = std::chrono::steady_clock;

// A position that moves on at every read, so every save is a real change of the row.
class MovingPosition final : public ports::MediaPosition {
 public:
  double CurrentPosition() const override { return position_s_ += 0.5; }
  void put_CurrentPosition(double seconds) override { position_s_ = seconds; }
  double Duration() const override { return 3600.0; }

 private:
  mutable double position_s_ = 0.0;
};

// One player window on the simulated runtime and desktop over a real SQLite schedule; the media
// engine is the simulated one unless a case hands the player a real graph.
struct Bench {
  QTemporaryDir folder;
  db::DataEnvironment data{platform::sqlite_store_factory()};
  sim::SimRuntime runtime{date_time::from_parts(2026, 12, 6, 10, 0, 30)};
  Globals globals;
  sim::SimFileLister files;
  sim::SimPictureLoader pictures;
  sim::Trace trace{runtime};
  sim::SimDesktop desktop{runtime, trace};
  std::unique_ptr<sim::SimMediaEngine> media;
  std::unique_ptr<Player> player;

  explicit Bench(sim::MediaManifest manifest = {}) {
    platform::create_schedule(folder.path());
    data.set_data_folder(folder.path());
    globals.DataFolder = folder.path();
    media = std::make_unique<sim::SimMediaEngine>(runtime, trace, std::move(manifest));
    player = std::make_unique<Player>(ports::PlayerPorts{runtime, desktop, *media, files, pictures},
                                      globals, data);
  }

  void use_graph(const std::shared_ptr<ports::MediaGraph>& graph) {
    MediaGraphRefs& g = player->state.graph;
    g.m_objMediaControl = graph;
    g.m_objMediaPosition = graph;
    g.m_objVideoWindow = graph;
    g.m_objBasicVideo = graph;
    g.m_objBasicAudio = graph;
    g.m_objMediaEvent = graph;
    g.ClipPlaying = kTrue;
  }
};

template <typename Tick>
void measure(benchmark::State& state, Tick tick) {
  std::vector<double> samples_ms;
  for (auto _ : state) {
    const auto started = Clock::now();
    tick();
    samples_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - started).count());
  }
  bench::report_latencies(state, std::move(samples_ms), "ms");
}

void BM_MovieTimerTickWithStatusFiles(benchmark::State& state) {
  Bench b;
  namespace ini_col = db::col::player_ini;
  db::Recordset& ini = b.data.rsPlayer_INI;
  ini.open();
  ini.move_first();
  for (int i = 0; i < 3; ++i) {
    ini.set_field(ini_col::kStatusFile1 + i,
                  b.folder.filePath(QStringLiteral("status%1.txt").arg(i)));
  }
  // Without the caption display the cycle never ends: the files are rewritten every tick.
  ini.set_field(ini_col::kCaptionEnabled, QVariant::fromValue(kFalse));
  ini.update();
  db::Recordset& playlist = b.data.rsplaylist;
  playlist.open();
  playlist.add_new();
  playlist.set_field(db::col::playlist::kSegStartTime,
                     QVariant::fromValue(date_time::from_parts(2026, 12, 6, 10)));
  playlist.set_field(db::col::playlist::kFileName, QStringLiteral("/media/feature.mp4"));
  playlist.update();
  PlayerState& s = b.player->state;
  s.graph.m_objMediaPosition = std::make_shared<MovingPosition>();
  s.graph.ClipPlaying = kTrue;
  s.captions.CaptionCycle = kTrue;
  s.row.SegCaption = QStringLiteral("Tonight: the feature");
  measure(state, [&b] { T_Movie_Timer(*b.player); });
}
BENCHMARK(BM_MovieTimerTickWithStatusFiles)->Unit(benchmark::kMillisecond)->Iterations(4000);

QString make_clip(const QTemporaryDir& folder) {
  const QString path = folder.filePath(QStringLiteral("clip.mp4"));
  QProcess ffmpeg;
  ffmpeg.start(
      QStringLiteral("ffmpeg"),
      {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=640x360:rate=25:duration=120",
       "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", path});
  ffmpeg.waitForFinished(60000);
  return path;
}

void ad_tick_case(benchmark::State& state, Bench& b) {
  b.player->state.overlay.ClockShown = kTrue;
  measure(state, [&b] { AdTimer_Timer(*b.player); });
}

void BM_AdTimerTickOnAPlayingClip(benchmark::State& state) {
  Bench b;
  platform::MediaEngineOptions options;
  options.video = platform::VideoOutput::kNone;
  options.audio = platform::AudioOutput::kNone;
  platform::MpvEngine engine(options);
  const std::shared_ptr<ports::MediaGraph> graph = engine.create_graph(ports::MediaMode::kNormal);
  graph->RenderFile(make_clip(b.folder));
  graph->Run();
  b.use_graph(graph);
  ad_tick_case(state, b);
}
BENCHMARK(BM_AdTimerTickOnAPlayingClip)->Unit(benchmark::kMillisecond)->Iterations(1000);

// The waits are the simulated clock's: what is left is the tick's own work.
void BM_AdTimerTickWithoutItsWaits(benchmark::State& state) {
  sim::MediaManifest manifest;
  manifest.add(QStringLiteral("/media/feature.mp4"), 1e6);
  Bench b(std::move(manifest));
  const std::shared_ptr<ports::MediaGraph> graph = b.media->create_graph(ports::MediaMode::kNormal);
  graph->RenderFile(QStringLiteral("/media/feature.mp4"));
  graph->Run();
  b.use_graph(graph);
  ad_tick_case(state, b);
}
BENCHMARK(BM_AdTimerTickWithoutItsWaits)->Unit(benchmark::kMillisecond)->Iterations(20000);

}  // namespace
