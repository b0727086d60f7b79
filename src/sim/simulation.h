#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "core/database/data_environment.h"
#include "core/shell/application.h"
#include "core/shell/player_state.h"
#include "sim/sim_desktop.h"
#include "sim/sim_file_lister.h"
#include "sim/sim_media_engine.h"
#include "sim/sim_picture_loader.h"
#include "sim/sim_runtime.h"
#include "sim/trace.h"

namespace vantora::sim {

struct SimulationOptions {
  QString data_folder;
  DateTime start;
  std::int64_t duration_s = 0;
  QString trace_path;            // empty: no trace
  QString media_durations_path;  // empty: no manifest
  // What the simulated channel.ini names as the designer; any launch opens the simulated
  // designer's window.
  QString designer_command = QStringLiteral("vantora-designer-stand-in");
  MediaProber media_prober;  // for files the manifest does not list; empty: none is media
};

// The whole program on the simulated runtime, from start-up, for a span of virtual time.
class Simulation {
 public:
  explicit Simulation(SimulationOptions options);
  ~Simulation();
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  // Opens the trace and starts the program: the first form's load runs at the start moment.
  // False when the trace cannot be written.
  bool start();
  // Runs the span after start(); returns the process exit code.
  int run();

  SimRuntime& runtime() { return runtime_; }
  Trace& trace() { return trace_; }
  SimDesktop& desktop() { return desktop_; }
  Application& application() { return *application_; }
  Globals& globals() { return globals_; }
  // The schedule: the real SQLite files of the data folder.
  db::DataEnvironment& data() { return data_; }

 private:
  void attach(forms::Form& form);
  void detach(forms::Form& form);

  SimulationOptions options_;
  SimRuntime runtime_;
  Trace trace_;
  SimDesktop desktop_;
  SimFormWindows form_windows_;
  SimPictureLoader pictures_;
  TraceFormObserver trace_observer_;
  Globals globals_;
  db::DataEnvironment data_;
  // A channel's clip folders are real folders.
  SimFileLister files_{SimFileLister::OtherFolders::kFromDisk};
  std::unique_ptr<SimMediaEngine> media_;
  QString media_load_error_;
  std::unique_ptr<Application> application_;
  bool started_ = false;
  SimDesktop::WindowHandle video_window_ = 0;
};

}  // namespace vantora::sim
