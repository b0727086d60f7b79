#include "sim/simulation.h"

#include <cstdio>

#include "core/shell/player.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/scripted_input.h"

namespace vantora::sim {
namespace {

// Thrown through the program's own frames when it is killed; nothing in the program catches it
// (it is not a std::exception), so none of its code runs again.
struct ProgramKilled {};

}  // namespace

// What lives and dies with the program's process.
struct Simulation::Program {
  explicit Program(platform::SqliteScheduleStore::Sharing sharing)
      : data(platform::sqlite_store_factory(sharing)) {}
  Globals globals;
  db::DataEnvironment data;
  // A channel's clip folders are real folders.
  SimFileLister files{SimFileLister::OtherFolders::kFromDisk};
  std::unique_ptr<Application> application;
  bool ended = false;
};

Simulation::Simulation(SimulationOptions options)
    : options_(std::move(options)),
      runtime_(options_.start),
      trace_(runtime_),
      desktop_(runtime_, trace_),
      form_windows_(desktop_),
      trace_observer_(trace_),
      trace_playout_(trace_) {
  MediaManifest manifest;
  if (!options_.media_durations_path.isEmpty()) {
    if (auto loaded = MediaManifest::load(options_.media_durations_path, &media_load_error_)) {
      manifest = std::move(*loaded);
    }
  }
  runtime_.on_clock_set = [this](DateTime from, DateTime to) { trace_.clock_set(from, to); };
  media_ = std::make_unique<SimMediaEngine>(runtime_, trace_, std::move(manifest),
                                            options_.media_prober);
  media_->set_render_ms(options_.render_ms);
  // The video window comes to the front on the simulated desktop as it would on a screen.
  media_->set_foreground_listener([this](std::int32_t /*engine_hwnd*/) {
    if (video_window_ == 0) {
      video_window_ =
          desktop_.open_window(QStringLiteral("Vantora Player Video Window"), QRect(0, 0, 800, 600),
                               SimDesktop::Activation::kActivate);
    }
    desktop_.bring_to_front(video_window_);
  });
  launch();
}

Simulation::~Simulation() {
  // The run ends here, not the program: what the teardown releases is not part of the day.
  trace_.close();
  bury();
}

Application& Simulation::application() {
  return *program_->application;
}

Globals& Simulation::globals() {
  return program_->globals;
}

db::DataEnvironment& Simulation::data() {
  return program_->data;
}

bool Simulation::program_running() const {
  return program_ && !program_->ended;
}

void Simulation::launch() {
  if (program_running()) {
    return;
  }
  bury();
  program_ = std::make_unique<Program>(options_.schedule_sharing);
  ChannelSettings settings;
  settings.data_folder = options_.data_folder;
  settings.platform.insert(QStringLiteral("designer"), options_.designer_command);
  Program& program = *program_;
  program.application = std::make_unique<Application>(
      ports::PlayerPorts{runtime_, desktop_, *media_, program.files, pictures_}, program.data,
      program.globals, settings);
  Application& application = *program.application;
  auto trace_errors = [this](const LoggedError& entry) {
    trace_.error(entry.number, entry.description, entry.procedure);
  };
  application.startup_errors().add_listener(trace_errors);
  attach(application.startup_form);
  attach(application.restart_form);
  application.player_loaded = [this, trace_errors](Player& player) {
    player.errors.add_listener(trace_errors);
    player.playout.add_observer(&trace_playout_);
    attach(player.form);
    if (on_player_loaded) {
      on_player_loaded(player);
    }
  };
  application.player_unloaded = [this](Player& player) { detach(player.form); };
  application.end_program = [&program] { program.ended = true; };
  // A launch after the first runs at once; the first waits for start().
  if (started_) {
    runtime_.post([&application] { application.Startup_Load(); });
  }
}

void Simulation::kill() {
  throw ProgramKilled{};
}

void Simulation::bury() {
  if (!program_) {
    return;
  }
  Application& application = *program_->application;
  if (Player* player = application.player()) {
    detach(player->form);
  }
  detach(application.restart_form);
  detach(application.startup_form);
  // The engine's window went with the process.
  if (video_window_ != 0) {
    desktop_.close_window(video_window_);
    video_window_ = 0;
  }
  program_.reset();
}

void Simulation::attach(forms::Form& form) {
  form.add_observer(&trace_observer_);
  form_windows_.attach(form);
}

void Simulation::detach(forms::Form& form) {
  form.remove_observer(&trace_observer_);
  form_windows_.detach(form);
}

bool Simulation::start() {
  if (!options_.trace_path.isEmpty() && !trace_.open(options_.trace_path)) {
    std::fprintf(stderr, "cannot write the trace file %s\n", qPrintable(options_.trace_path));
    return false;
  }
  if (!started_) {
    started_ = true;
    runtime_.post([this] { application().Startup_Load(); });
    queue_scripted_input(*this, options_.input);
  }
  return true;
}

void Simulation::run_for_ms(std::int64_t duration_ms) {
  const DateTime end = date_time::from_linear_ms(runtime_.now_ms() + duration_ms);
  for (;;) {
    try {
      runtime_.run_until(end);
      return;
    } catch (const ProgramKilled&) {
      // Every frame of the program is gone now; the clock runs on without it.
      bury();
    }
  }
}

int Simulation::run() {
  if (!start()) {
    return 2;
  }
  if (!media_load_error_.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(media_load_error_));
    return 2;
  }
  run_for_ms(options_.duration_s * 1000);
  return 0;
}

}  // namespace vantora::sim
