#include "sim/simulation.h"

#include <cstdio>

#include "core/shell/player.h"
#include "platform/sql/sqlite_schedule_store.h"

namespace vantora::sim {

Simulation::Simulation(SimulationOptions options)
    : options_(std::move(options)),
      runtime_(options_.start),
      trace_(runtime_),
      desktop_(runtime_, trace_),
      form_windows_(desktop_),
      trace_observer_(trace_),
      data_(platform::sqlite_store_factory()) {
  ChannelSettings settings;
  settings.data_folder = options_.data_folder;
  settings.platform.insert(QStringLiteral("designer"), options_.designer_command);
  MediaManifest manifest;
  if (!options_.media_durations_path.isEmpty()) {
    if (auto loaded = MediaManifest::load(options_.media_durations_path, &media_load_error_)) {
      manifest = std::move(*loaded);
    }
  }
  runtime_.on_clock_set = [this](DateTime from, DateTime to) { trace_.clock_set(from, to); };
  media_ = std::make_unique<SimMediaEngine>(runtime_, trace_, std::move(manifest),
                                            options_.media_prober);
  // The video window comes to the front on the simulated desktop as it would on a screen.
  media_->set_foreground_listener([this](std::int32_t /*engine_hwnd*/) {
    if (video_window_ == 0) {
      video_window_ =
          desktop_.open_window(QStringLiteral("Vantora Player Video Window"), QRect(0, 0, 800, 600),
                               SimDesktop::Activation::kActivate);
    }
    desktop_.bring_to_front(video_window_);
  });
  application_ = std::make_unique<Application>(
      ports::PlayerPorts{runtime_, desktop_, *media_, files_, pictures_}, data_, globals_,
      settings);

  auto trace_errors = [this](const LoggedError& entry) {
    trace_.error(entry.number, entry.description, entry.procedure);
  };
  application_->startup_errors().add_listener(trace_errors);
  attach(application_->startup_form);
  attach(application_->restart_form);
  application_->player_loaded = [this, trace_errors](Player& player) {
    player.errors.add_listener(trace_errors);
    attach(player.form);
  };
  application_->player_unloaded = [this](Player& player) { detach(player.form); };
}

Simulation::~Simulation() {
  // The run ends here, not the program: what the teardown releases is not part of the day.
  trace_.close();
  if (Player* player = application_->player()) {
    detach(player->form);
  }
  detach(application_->restart_form);
  detach(application_->startup_form);
}

void Simulation::attach(forms::Form& form) {
  form.add_observer(&trace_observer_);
  form_windows_.attach(form);
}

void Simulation::detach(forms::Form& form) {
  form.remove_observer(&trace_observer_);
  form.remove_observer(&form_windows_);
}

bool Simulation::start() {
  if (!options_.trace_path.isEmpty() && !trace_.open(options_.trace_path)) {
    std::fprintf(stderr, "cannot write the trace file %s\n", qPrintable(options_.trace_path));
    return false;
  }
  if (!started_) {
    started_ = true;
    runtime_.post([this] { application_->Startup_Load(); });
  }
  return true;
}

int Simulation::run() {
  if (!start()) {
    return 2;
  }
  if (!media_load_error_.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(media_load_error_));
    return 2;
  }
  runtime_.run_for_ms(options_.duration_s * 1000);
  return 0;
}

}  // namespace vantora::sim
