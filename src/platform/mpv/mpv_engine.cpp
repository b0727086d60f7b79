#include "platform/mpv/mpv_engine.h"

#include "base/errors.h"
#include "platform/mpv/mpv_graph.h"
#include "platform/mpv/mpv_session.h"

namespace vantora::platform {

MpvEngine::MpvEngine(const MediaEngineOptions& options)
    : session_(std::make_shared<MpvSession>(options)) {}

MpvEngine::~MpvEngine() = default;

std::shared_ptr<ports::MediaGraph> MpvEngine::create_graph(ports::MediaMode /*mode*/) {
  return std::make_shared<MpvGraph>(session_);
}

MpvProber::MpvProber()
    : engine_(std::make_unique<MpvEngine>(
          MediaEngineOptions{VideoOutput::kNone, AudioOutput::kNone, 5000, {}})) {}

MpvProber::~MpvProber() = default;

std::optional<double> MpvProber::duration_s(const QString& path) {
  try {
    auto graph = engine_->create_graph(ports::MediaMode::kNormal);
    graph->RenderFile(path);
    return graph->Duration();
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
}

std::function<std::optional<double>(const QString&)> lazy_duration_probe() {
  auto prober = std::make_shared<std::unique_ptr<MpvProber>>();
  return [prober](const QString& path) -> std::optional<double> {
    try {
      if (!*prober) {
        *prober = std::make_unique<MpvProber>();
      }
      return (*prober)->duration_s(path);
    } catch (const RuntimeError&) {
      return std::nullopt;
    }
  };
}

}  // namespace vantora::platform
