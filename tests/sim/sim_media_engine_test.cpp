#include "sim/sim_media_engine.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "sim/media_manifest.h"

namespace vantora::sim {
namespace {

TEST(MediaManifest, ReadsPathsAndSecondsAndRejectsMalformedLines) {
  QString error;
  const auto manifest = MediaManifest::parse(
      QStringLiteral("# made by the schedule tool\r\n/data/a b.mp4\t95.7\r\n\n/data/c.mp4\t0\n"),
      &error);
  ASSERT_TRUE(manifest) << error.toStdString();
  EXPECT_EQ(manifest->size(), 2);
  EXPECT_EQ(manifest->duration_s(QStringLiteral("/data/a b.mp4")), 95.7);
  EXPECT_EQ(manifest->duration_s(QStringLiteral("/data//c.mp4")), 0.0);
  EXPECT_FALSE(manifest->duration_s(QStringLiteral("/data/d.mp4")));

  for (const char* bad : {"/data/a.mp4 95", "/data/a.mp4\tlong", "/data/a.mp4\t-1", "\t5"}) {
    EXPECT_FALSE(MediaManifest::parse(QString::fromUtf8(bad), &error)) << bad;
    EXPECT_TRUE(error.contains(QStringLiteral("line 1"))) << error.toStdString();
  }
}

// The simulated engine's own promises (the rest of the port's are tested on both engines): a
// wait that runs out takes its time on the virtual clock, one that sees the end stops there; a
// file the manifest does not list is asked of the prober once.
TEST(SimMediaEngine, WaitsTakeVirtualTimeAndUnlistedFilesAskTheProberOnce) {
  SimRuntime runtime(date_time::from_parts(2026, 12, 6, 10));
  Trace trace(runtime);
  MediaManifest manifest;
  manifest.add(QStringLiteral("/m/short.mp4"), 2.5);
  int asked = 0;
  SimMediaEngine media(runtime, trace, manifest, [&asked](const QString& path) {
    ++asked;
    return path.endsWith(QStringLiteral(".avi")) ? std::optional<double>(7.0) : std::nullopt;
  });
  auto graph = media.create_graph(ports::MediaMode::kNormal);
  graph->RenderFile(QStringLiteral("/m/short.mp4"));
  graph->put_CurrentPosition(1.5);
  graph->Run();
  const std::int64_t before_ms = runtime.now_ms();
  EXPECT_EQ(graph->WaitForCompletion(10), ports::Completion::kTimedOut);
  EXPECT_EQ(runtime.now_ms() - before_ms, 10);
  runtime.run_for_ms(985);
  EXPECT_EQ(graph->WaitForCompletion(10), ports::Completion::kComplete);
  EXPECT_EQ(runtime.now_ms() - before_ms, 1000);
  EXPECT_EQ(graph->CurrentPosition(), 2.5);

  for (int i = 0; i < 2; ++i) {
    auto filler = media.create_graph(ports::MediaMode::kFiller);
    filler->RenderFile(QStringLiteral("/m/clip.avi"));
    EXPECT_EQ(filler->Duration(), 7.0);
  }
  EXPECT_EQ(asked, 1);
  auto notes = media.create_graph(ports::MediaMode::kFiller);
  try {
    notes->RenderFile(QStringLiteral("/m/notes.txt"));
    ADD_FAILURE();
  } catch (const RuntimeError& error) {
    EXPECT_TRUE(err::is_media_error(error.number()));
  }
  EXPECT_THROW(notes->Run(), RuntimeError);
  SimMediaEngine without_prober(runtime, trace, manifest);
  EXPECT_THROW(without_prober.create_graph(ports::MediaMode::kNormal)->RenderFile("/m/clip.avi"),
               RuntimeError);
}

}  // namespace
}  // namespace vantora::sim
