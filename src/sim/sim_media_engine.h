#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "ports/media_graph.h"
#include "sim/media_manifest.h"
#include "sim/sim_runtime.h"
#include "sim/trace.h"

namespace vantora::sim {

// Tells whether a file not in the manifest is media, and its length; the simulate command plugs
// in the real engine here so that the simulator itself never links it.
using MediaProber = std::function<std::optional<double>(const QString& path)>;

// The media engine on the virtual clock. A file is media when the manifest lists it, or else when
// the prober opens it; everything else fails RenderFile with a media error. A running file's
// position moves with the clock and it completes at its length. Each started file, and each that
// was not media, is traced as a "media" event; a started file whose graph is released, which
// stops it, as a "stop" event.
class SimMediaEngine final : public ports::MediaEngine {
 public:
  // The handle the simulated desktop knows the video window by.
  static constexpr std::int32_t kVideoHwnd = 0x00A0'0001;

  SimMediaEngine(SimRuntime& runtime, Trace& trace, MediaManifest manifest,
                 MediaProber prober = {});
  ~SimMediaEngine() override;
  SimMediaEngine(const SimMediaEngine&) = delete;
  SimMediaEngine& operator=(const SimMediaEngine&) = delete;

  std::shared_ptr<ports::MediaGraph> create_graph(ports::MediaMode mode) override;

  // Called when the video window is brought to the front (the simulated desktop listens).
  void set_foreground_listener(std::function<void(std::int32_t hwnd)> listener);
  // The time a real engine takes to load a file and show its first frame, during which the
  // caller waits and the clip does not yet run. Zero (the default) renders at once.
  void set_render_ms(int render_ms);

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace vantora::sim
