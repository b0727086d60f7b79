#include "sim/sim_media_engine.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "base/errors.h"

namespace vantora::sim {

struct SimMediaEngine::Shared {
  SimRuntime& runtime;
  Trace& trace;
  MediaManifest manifest;
  MediaProber prober;
  QHash<QString, std::optional<double>> probed;
  std::function<void(std::int32_t)> on_foreground;
  std::uint64_t generation = 0;
  std::uint64_t loaded_by = 0;
  int render_ms = 0;

  std::optional<double> duration_s(const QString& path) {
    if (auto listed = manifest.duration_s(path)) {
      return listed;
    }
    if (!prober) {
      return std::nullopt;
    }
    const auto known = probed.constFind(path);
    if (known != probed.constEnd()) {
      return *known;
    }
    return *probed.insert(path, prober(path));
  }
};

namespace {

class SimGraph final : public ports::MediaGraph {
 public:
  explicit SimGraph(std::shared_ptr<SimMediaEngine::Shared> shared)
      : shared_(std::move(shared)), generation_(++shared_->generation) {}

  ~SimGraph() override {
    if (shared_->loaded_by == generation_) {
      if (rendered_ && announced_) {
        shared_->trace.event("stop", {{"file", Trace::text(file_)}, {"position", position_s()}});
      }
      shared_->loaded_by = 0;
    }
  }

  void RenderFile(const QString& path) override {
    if (shared_->generation != generation_) {
      throw RuntimeError(err::kMediaWrongState);
    }
    const std::optional<double> length_s =
        path.isEmpty() ? std::nullopt : shared_->duration_s(path);
    // The player records the start that failed, as it records the ones that run.
    if (!length_s) {
      throw RuntimeError(QFileInfo::exists(path) ? err::kMediaUnknownFileType
                                                 : err::kMediaFileNotFound);
    }
    file_ = path;
    duration_s_ = *length_s;
    shared_->loaded_by = generation_;
    rendered_ = true;
    running_ = false;
    anchor_s_ = 0.0;
    shared_->runtime.sleep_ms(shared_->render_ms);
  }

  void Run() override {
    require_file();
    if (!running_) {
      anchor_s_ = position_s();
      anchor_ms_ = shared_->runtime.now_ms();
      running_ = true;
    }
    announced_ = true;
  }

  void Pause() override {
    require_file();
    anchor_s_ = position_s();
    running_ = false;
  }

  double CurrentPosition() const override {
    require_file();
    return position_s();
  }
  void put_CurrentPosition(double seconds) override {
    require_file();
    const double from_s = position_s();
    anchor_s_ = std::clamp(seconds, 0.0, duration_s_);
    anchor_ms_ = shared_->runtime.now_ms();
    // Before the clip runs its start is told by the media event.
    if (announced_) {
      shared_->trace.event("seek",
                           {{"file", Trace::text(file_)}, {"from", from_s}, {"to", anchor_s_}});
    }
  }
  double Duration() const override {
    require_file();
    return duration_s_;
  }

  ports::Completion WaitForCompletion(int timeout_ms) override {
    if (!owns_file()) {
      return ports::Completion::kTimedOut;
    }
    if (position_s() >= duration_s_) {
      return ports::Completion::kComplete;
    }
    if (running_) {
      const auto to_end_ms =
          static_cast<std::int64_t>(std::ceil((duration_s_ - position_s()) * 1000.0));
      if (to_end_ms <= timeout_ms) {
        shared_->runtime.sleep_ms(static_cast<int>(to_end_ms));
        return ports::Completion::kComplete;
      }
    }
    shared_->runtime.sleep_ms(timeout_ms);
    return ports::Completion::kTimedOut;
  }

  std::int32_t Owner() const override { return owner_; }
  void put_Owner(std::int32_t owner_hwnd) override { owner_ = owner_hwnd; }
  std::int32_t WindowStyle() const override { return style_; }
  void put_WindowStyle(std::int32_t style) override { style_ = style; }
  int Left() const override { return left_; }
  void put_Left(int left_px) override { left_ = left_px; }
  int Top() const override { return top_; }
  void put_Top(int top_px) override {
    top_ = top_px;
    trace_window();
  }
  int Width() const override { return width_; }
  void put_Width(int width_px) override { width_ = width_px; }
  int Height() const override { return height_; }
  void put_Height(int height_px) override {
    height_ = height_px;
    trace_window();
  }
  QString Caption() const override { return caption_; }
  void put_Caption(const QString& caption) override { caption_ = caption; }
  void SetWindowForeground(std::int16_t /*focus*/) override {
    if (shared_->generation == generation_ && shared_->on_foreground) {
      shared_->on_foreground(SimMediaEngine::kVideoHwnd);
    }
  }
  std::int32_t hwnd() const override { return SimMediaEngine::kVideoHwnd; }

 private:
  // A move of a running clip's window; before it runs, the media event tells its place.
  void trace_window() {
    if (announced_) {
      shared_->trace.event("window", {{"name", "Vantora Player Video Window"},
                                      {"x", left_},
                                      {"y", top_},
                                      {"w", width_},
                                      {"h", height_},
                                      {"z", "same"}});
    }
  }

  bool owns_file() const { return rendered_ && shared_->loaded_by == generation_; }
  void require_file() const {
    if (!owns_file()) {
      throw RuntimeError(err::kMediaWrongState);
    }
  }
  double position_s() const {
    if (!running_) {
      return anchor_s_;
    }
    const double ran_s = static_cast<double>(shared_->runtime.now_ms() - anchor_ms_) / 1000.0;
    return std::min(duration_s_, anchor_s_ + ran_s);
  }

  std::shared_ptr<SimMediaEngine::Shared> shared_;
  std::uint64_t generation_;
  QString file_;
  double duration_s_ = 0.0;
  bool rendered_ = false;
  bool running_ = false;
  bool announced_ = false;
  double anchor_s_ = 0.0;  // the position when the clock was last read into it
  std::int64_t anchor_ms_ = 0;

  std::int32_t owner_ = 0;
  std::int32_t style_ = 0;
  int left_ = 0;
  int top_ = 0;
  int width_ = 640;
  int height_ = 480;
  QString caption_;
};

}  // namespace

SimMediaEngine::SimMediaEngine(SimRuntime& runtime, Trace& trace, MediaManifest manifest,
                               MediaProber prober)
    : shared_(std::make_shared<Shared>(
          Shared{runtime, trace, std::move(manifest), std::move(prober), {}, {}, 0, 0})) {}

SimMediaEngine::~SimMediaEngine() = default;

// The mode is the player's to trace (it reports each start itself); a simulated graph plays alike.
std::shared_ptr<ports::MediaGraph> SimMediaEngine::create_graph(ports::MediaMode /*mode*/) {
  return std::make_shared<SimGraph>(shared_);
}

void SimMediaEngine::set_foreground_listener(std::function<void(std::int32_t hwnd)> listener) {
  shared_->on_foreground = std::move(listener);
}

void SimMediaEngine::set_render_ms(int render_ms) {
  shared_->render_ms = std::max(0, render_ms);
}

}  // namespace vantora::sim
