#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/database/data_environment.h"
#include "core/shell/application.h"
#include "core/shell/player_state.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/input_script.h"
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
  InputScript input;         // what is done to the program from outside, and when
  // kPrivate when no other program reads the data folder's schedule during the run (a copy made
  // for the run): the same rows and statements, without the locking and flushing a shared file
  // needs, which is most of a simulated day's time.
  platform::SqliteScheduleStore::Sharing schedule_sharing =
      platform::SqliteScheduleStore::Sharing::kShared;
  // How long each file takes to start, as a real engine takes (see SimMediaEngine).
  int render_ms = 0;
};

// The whole program on the simulated runtime, from start-up, for a span of virtual time. The
// program can be killed and launched again on the same data folder while the desktop, the
// clipboard and the virtual clock go on.
class Simulation {
 public:
  explicit Simulation(SimulationOptions options);
  ~Simulation();
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  // Opens the trace, starts the program (the first form's load runs at the start moment) and
  // queues the scripted input. False when the trace cannot be written.
  bool start();
  // Runs the span after start(); returns the process exit code.
  int run();
  // Runs the event loop for a span; a scripted crash is carried out here.
  void run_for_ms(std::int64_t duration_ms);

  SimRuntime& runtime() { return runtime_; }
  Trace& trace() { return trace_; }
  SimDesktop& desktop() { return desktop_; }
  // The running program's parts; only while it runs.
  Application& application();
  Globals& globals();
  // The schedule: the real SQLite files of the data folder.
  db::DataEnvironment& data();
  // False once the program was killed or its Exit button ended it.
  bool program_running() const;

  // Called with each player window as it loads, after the trace has hooked itself on (the
  // planner's as-run log listens here).
  std::function<void(Player&)> on_player_loaded;

  // The program as it stands when launched: from its first form, on the data folder.
  void launch();
  // The program stops dead where it is, as under kill -9: called from inside any of its handlers,
  // it never returns there; the event loop of run_for_ms() takes the program away.
  [[noreturn]] void kill();

 private:
  struct Program;

  void attach(forms::Form& form);
  void detach(forms::Form& form);
  // Lets go of a program that was killed or has ended: its windows close, nothing is written.
  void bury();

  SimulationOptions options_;
  SimRuntime runtime_;
  Trace trace_;
  SimDesktop desktop_;
  SimFormWindows form_windows_;
  SimPictureLoader pictures_;
  TraceFormObserver trace_observer_;
  TracePlayoutObserver trace_playout_;
  std::unique_ptr<SimMediaEngine> media_;
  QString media_load_error_;
  std::unique_ptr<Program> program_;
  bool started_ = false;
  SimDesktop::WindowHandle video_window_ = 0;
};

}  // namespace vantora::sim
