#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>
#include <memory>
#include <type_traits>

#include "base/errors.h"
#include "platform/mpv/mpv_engine.h"
#include "sim/sim_media_engine.h"
#include "sim/sim_runtime.h"
#include "sim/trace.h"
#include "support/media_clips.h"
#include "support/schedule_fixture.h"
#include "tests/platform/x_server.h"

namespace vantora {
namespace {

using platform::AudioOutput;
using platform::MediaEngineOptions;
using platform::MpvEngine;
using platform::VideoOutput;
using testing::MediaClips;

constexpr double kFrame_s = 0.04;  // 25 frames a second
constexpr int kOpenTimeout_ms = 3000;

// Made once for the whole binary: ffmpeg takes a while.
MediaClips& clips() {
  static const std::unique_ptr<MediaClips> made = [] {
    auto c = std::make_unique<MediaClips>();
    c->h264(QStringLiteral("three.mp4"), 3.0);
    c->h264(QStringLiteral("two.mp4"), 2.0);
    return c;
  }();
  return *made;
}

// Polls as the timers do, 10 ms at a time; false when the end has not come within the limit.
bool completes_within(ports::MediaEvent& events, int limit_ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < limit_ms) {
    if (events.WaitForCompletion(10) == ports::Completion::kComplete) {
      return true;
    }
  }
  return false;
}

// The media engine port's promises, kept by the real engine and the simulated one alike: the
// player's core is tested on the simulated one only. The real engine's clock is the wall's, so
// its positions get a margin; the simulated one must be exact.
class MpvMedia {
 public:
  static constexpr double kSlack_s = 0.2;
  ports::MediaEngine& engine() { return engine_; }
  QString path(const char* name) const { return clips().path(QString::fromLatin1(name)); }
  void play_ms(int duration_ms) { QThread::msleep(static_cast<unsigned long>(duration_ms)); }

 private:
  MpvEngine engine_{
      MediaEngineOptions{VideoOutput::kNone, AudioOutput::kNone, kOpenTimeout_ms, {}}};
};

class SimMedia {
 public:
  static constexpr double kSlack_s = 1e-9;
  ports::MediaEngine& engine() { return engine_; }
  QString path(const char* name) const { return QStringLiteral("/m/") + QLatin1String(name); }
  void play_ms(int duration_ms) { runtime_.run_for_ms(duration_ms); }

 private:
  sim::SimRuntime runtime_{date_time::from_parts(2026, 12, 6, 10)};
  sim::Trace trace_{runtime_};
  sim::SimMediaEngine engine_{runtime_, trace_, [this] {
                                sim::MediaManifest m;
                                m.add(path("three.mp4"), 3.0);
                                m.add(path("two.mp4"), 2.0);
                                return m;
                              }()};
};

template <typename Media>
class MediaEngineContract : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(clips().ok()) << clips().error().toStdString(); }
  Media media;
};

// "Sim" and "Mpv" in the test names; the Mpv ones carry the realtime label.
struct MediaName {
  template <typename T>
  static std::string GetName(int) {
    return std::is_same_v<T, SimMedia> ? "Sim" : "Mpv";
  }
};
using Engines = ::testing::Types<SimMedia, MpvMedia>;
TYPED_TEST_SUITE(MediaEngineContract, Engines, MediaName);

// A rendered graph waits for Run at the start; seeks land exactly, also between key frames (2.0 s
// lies between those at 1.48 s and 2.96 s); a pause holds the position.
TYPED_TEST(MediaEngineContract, SeeksExactlyRunsAndPauses) {
  const double slack_s = TypeParam::kSlack_s;
  auto graph = this->media.engine().create_graph(ports::MediaMode::kNormal);
  graph->RenderFile(this->media.path("three.mp4"));
  EXPECT_NEAR(graph->Duration(), 3.0, kFrame_s);
  this->media.play_ms(200);
  EXPECT_NEAR(graph->CurrentPosition(), 0.0, 1e-6) << "a rendered graph waits for Run";
  for (const double target_s : {2.0, 0.7}) {
    graph->put_CurrentPosition(target_s);
    EXPECT_NEAR(graph->CurrentPosition(), target_s, std::min(kFrame_s, slack_s)) << target_s;
  }
  graph->Run();
  this->media.play_ms(400);
  graph->Pause();
  const double paused_at_s = graph->CurrentPosition();
  EXPECT_NEAR(paused_at_s, 0.7 + 0.4, slack_s);
  this->media.play_ms(300);
  EXPECT_NEAR(graph->CurrentPosition(), paused_at_s, 1e-3);
  graph->Run();
  this->media.play_ms(300);
  EXPECT_NEAR(graph->CurrentPosition(), paused_at_s + 0.3, slack_s);
}

// The end is a state that a seek back clears; a new graph never sees the old file's end, even
// when the old graph dies after it is made, and has nothing loaded until it renders.
TYPED_TEST(MediaEngineContract, CompletesAtTheEndOfItsOwnFileOnly) {
  auto old_graph = this->media.engine().create_graph(ports::MediaMode::kNormal);
  old_graph->RenderFile(this->media.path("two.mp4"));
  old_graph->put_CurrentPosition(1.5);
  old_graph->Run();
  EXPECT_EQ(old_graph->WaitForCompletion(10), ports::Completion::kTimedOut);
  ASSERT_TRUE(completes_within(*old_graph, 1000));
  EXPECT_EQ(old_graph->WaitForCompletion(10), ports::Completion::kComplete) << "the end is a state";
  old_graph->put_CurrentPosition(1.2);
  old_graph->Run();
  EXPECT_EQ(old_graph->WaitForCompletion(10), ports::Completion::kTimedOut);
  ASSERT_TRUE(completes_within(*old_graph, 3000));

  auto graph = this->media.engine().create_graph(ports::MediaMode::kFiller);
  EXPECT_THROW(graph->CurrentPosition(), RuntimeError) << "nothing loaded on the new graph";
  old_graph.reset();
  graph->RenderFile(this->media.path("three.mp4"));
  graph->Run();
  EXPECT_EQ(graph->WaitForCompletion(50), ports::Completion::kTimedOut);
  this->media.play_ms(200);
  EXPECT_GT(graph->CurrentPosition(), 0.1) << "releasing the old graph stopped the new file";
}

// A file cut mid-stream plays what it has and ends.
TEST(MpvEngineTest, ATruncatedFilePlaysWhatItHasAndEnds) {
  MpvMedia media;
  auto graph = media.engine().create_graph(ports::MediaMode::kFiller);
  graph->RenderFile(clips().cut_fraction(clips().h264(QStringLiteral("whole.mp4"), 3.0),
                                         QStringLiteral("truncated.mp4"), 0.6));
  graph->Run();
  EXPECT_TRUE(completes_within(*graph, 5000));
}

// Whether the video window is on the screen, as the X server sees it.
bool viewable(const QString& display, std::int32_t window) {
  QProcess xwininfo;
  xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-display"), display,
                                              QStringLiteral("-id"), QString::number(window)});
  xwininfo.waitForFinished(5000);
  return xwininfo.readAllStandardOutput().contains("Map State: IsViewable");
}

// On a clip change the window stays up with the last frame until the next clip has its first:
// hiding it in between showed the desktop (or black) at every change. A clip that cannot play, or
// the last graph going, takes the picture away.
TEST(MpvEngineTest, VideoWindowHoldsTheLastFrameUntilTheNextClip) {
  testing::XServer x(testing::XServer::WindowManager::kNone);
  ASSERT_TRUE(x.problem().isEmpty()) << x.problem().toStdString();
  const QByteArray display_before = qgetenv("DISPLAY");
  qputenv("DISPLAY", x.display().toLocal8Bit());
  {
    MpvEngine engine(
        MediaEngineOptions{VideoOutput::kWindow, AudioOutput::kNone, kOpenTimeout_ms, {}});
    auto ended = engine.create_graph(ports::MediaMode::kNormal);
    ended->RenderFile(clips().path(QStringLiteral("two.mp4")));
    ended->put_CurrentPosition(1.9);
    ended->Run();
    ASSERT_TRUE(completes_within(*ended, 2000));
    const std::int32_t window = ended->hwnd();
    EXPECT_TRUE(viewable(x.display(), window));

    auto next = engine.create_graph(ports::MediaMode::kNormal);
    ended.reset();  // as the player lets go of the old graph once the new one exists
    EXPECT_TRUE(viewable(x.display(), window)) << "between the clips";
    next->RenderFile(clips().path(QStringLiteral("three.mp4")));
    next->Run();
    EXPECT_TRUE(viewable(x.display(), window));

    auto missing = engine.create_graph(ports::MediaMode::kNormal);
    next.reset();
    EXPECT_TRUE(viewable(x.display(), window));
    EXPECT_THROW(missing->RenderFile(clips().path(QStringLiteral("missing.mp4"))), RuntimeError);
    EXPECT_FALSE(viewable(x.display(), window)) << "a clip that cannot play";

    auto last = engine.create_graph(ports::MediaMode::kNormal);
    missing.reset();
    last->RenderFile(clips().path(QStringLiteral("two.mp4")));
    last->Run();
    EXPECT_TRUE(viewable(x.display(), window));
    last.reset();
    EXPECT_FALSE(viewable(x.display(), window)) << "no clip after the last";
  }
  qputenv("DISPLAY", display_before);
}

TEST(MpvEngineTest, RejectsEveryInputThatIsNotMediaAtOnce) {
  MpvMedia media;
  MediaClips& c = clips();
  std::vector<quint32> noise(16 * 1024);
  QRandomGenerator(20240607).fillRange(noise.data(), noise.size());
  const QString moov_last =
      c.ffmpeg({"-i", c.path("three.mp4"), "-c", "copy", c.path("index_last.mp4")});
  const QString webm = c.ffmpeg({"-f", "lavfi", "-i", "testsrc=size=320x180:rate=25:duration=1",
                                 "-c:v", "libvpx", "-deadline", "realtime", c.path("whole.webm")});
  const QString png = c.ffmpeg(
      {"-f", "lavfi", "-i", "testsrc=size=320x180", "-frames:v", "1", c.path("still.png")});
  QDir(c.folder()).mkdir(QStringLiteral("media_folder"));
  QFile::copy(c.path("two.mp4"), c.path("media_folder/a.mp4"));
  ASSERT_TRUE(c.ok()) << c.error().toStdString();

  const struct {
    const char* what;
    QString path;
  } cases[] = {
      {"text renamed .mp4", c.write(QStringLiteral("text.mp4"), "Not a movie at all.\r\n")},
      {"missing file", c.path(QStringLiteral("missing.mp4"))},
      {"random bytes", c.write("noise.mp4", QByteArray(reinterpret_cast<const char*>(noise.data()),
                                                       qsizetype(noise.size() * sizeof(quint32))))},
      {"MP4 cut before its index", c.cut_fraction(moov_last, QStringLiteral("no_index.mp4"), 0.5)},
      {"100-byte WebM header", c.cut(webm, QStringLiteral("header.webm"), 100)},
      {"folder with media", c.path(QStringLiteral("media_folder"))},
      {"playlist", c.write(QStringLiteral("list.m3u"), c.path(QStringLiteral("two.mp4")).toUtf8())},
      {"still picture", png},
      {"empty path", QString()},
  };
  for (const auto& bad : cases) {
    SCOPED_TRACE(bad.what);
    auto graph = media.engine().create_graph(ports::MediaMode::kNormal);
    QElapsedTimer clock;
    clock.start();
    try {
      graph->RenderFile(bad.path);
      ADD_FAILURE() << "rendered";
    } catch (const RuntimeError& error) {
      EXPECT_TRUE(err::is_media_error(error.number())) << error.number();
    }
    EXPECT_LT(clock.elapsed(), kOpenTimeout_ms) << "failed by the bounded wait, not at once";
    EXPECT_THROW(graph->Run(), RuntimeError);
  }
  // Nothing was left playing in place of a rejected file, and the engine still works.
  auto graph = media.engine().create_graph(ports::MediaMode::kNormal);
  graph->RenderFile(c.path(QStringLiteral("two.mp4")));
  EXPECT_NEAR(graph->Duration(), 2.0, kFrame_s);
}

}  // namespace
}  // namespace vantora
