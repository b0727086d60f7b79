#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "platform/mpv/mpv_options.h"
#include "ports/media_graph.h"

namespace vantora::platform {

class MpvSession;

// The media engine on libmpv: one player for the whole run, each graph one file loaded on it.
class MpvEngine final : public ports::MediaEngine {
 public:
  // Raises a RuntimeError when libmpv cannot be set up.
  explicit MpvEngine(const MediaEngineOptions& options);
  ~MpvEngine() override;

  std::shared_ptr<ports::MediaGraph> create_graph(ports::MediaMode mode) override;

 private:
  std::shared_ptr<MpvSession> session_;
};

// Asks libmpv, without picture or sound, whether a file is media and how long it lasts.
class MpvProber {
 public:
  MpvProber();
  ~MpvProber();
  std::optional<double> duration_s(const QString& path);

 private:
  std::unique_ptr<MpvEngine> engine_;
};

// A length lookup for the simulator and the planner: the headless engine starts only when a file
// first needs probing, and every file counts as not media when libmpv cannot be set up.
std::function<std::optional<double>(const QString&)> lazy_duration_probe();

}  // namespace vantora::platform
