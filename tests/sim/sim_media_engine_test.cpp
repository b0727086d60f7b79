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

class SimMediaEngineTest : public ::testing::Test {
 protected:
  SimMediaEngineTest() : runtime_(date_time::from_parts(2026, 12, 6, 10)), trace_(runtime_) {
    manifest_.add(QStringLiteral("/m/movie.mp4"), 100.0);
    manifest_.add(QStringLiteral("/m/short.mp4"), 2.5);
  }

  SimMediaEngine& engine(MediaProber prober = {}) {
    engine_ = std::make_unique<SimMediaEngine>(runtime_, trace_, manifest_, std::move(prober));
    return *engine_;
  }

  SimRuntime runtime_;
  Trace trace_;
  MediaManifest manifest_;
  std::unique_ptr<SimMediaEngine> engine_;
};

// The simulated engine's own promise (the rest of the port's are tested on both engines): a wait
// that runs out takes its time on the virtual clock; one that sees the end stops there.
TEST_F(SimMediaEngineTest, WaitsTakeTheirTimeOnTheVirtualClock) {
  auto graph = engine().create_graph(ports::MediaMode::kNormal);
  graph->RenderFile(QStringLiteral("/m/short.mp4"));
  graph->put_CurrentPosition(1.5);
  graph->Run();
  const std::int64_t before_ms = runtime_.now_ms();
  EXPECT_EQ(graph->WaitForCompletion(10), ports::Completion::kTimedOut);
  EXPECT_EQ(runtime_.now_ms() - before_ms, 10);
  runtime_.run_for_ms(985);
  EXPECT_EQ(graph->WaitForCompletion(10), ports::Completion::kComplete);
  EXPECT_EQ(runtime_.now_ms() - before_ms, 1000);
  EXPECT_EQ(graph->CurrentPosition(), 2.5);
}

TEST_F(SimMediaEngineTest, UnlistedFilesAskTheProberOnce) {
  int asked = 0;
  SimMediaEngine& media = engine([&asked](const QString& path) -> std::optional<double> {
    ++asked;
    return path.endsWith(QStringLiteral(".avi")) ? std::optional<double>(7.0) : std::nullopt;
  });
  for (int i = 0; i < 2; ++i) {
    auto graph = media.create_graph(ports::MediaMode::kFiller);
    graph->RenderFile(QStringLiteral("/m/clip.avi"));
    EXPECT_EQ(graph->Duration(), 7.0);
  }
  EXPECT_EQ(asked, 1);
  auto graph = media.create_graph(ports::MediaMode::kFiller);
  try {
    graph->RenderFile(QStringLiteral("/m/notes.txt"));
    ADD_FAILURE();
  } catch (const RuntimeError& error) {
    EXPECT_TRUE(err::is_media_error(error.number()));
  }
  EXPECT_THROW(graph->Run(), RuntimeError);

  EXPECT_THROW(engine().create_graph(ports::MediaMode::kNormal)->RenderFile("/m/clip.avi"),
               RuntimeError);
}

}  // namespace
}  // namespace vantora::sim
