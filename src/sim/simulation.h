#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "core/database/data_environment.h"
#include "core/shell/player_state.h"
#include "sim/sim_runtime.h"
#include "sim/trace.h"

namespace vantora::sim {

struct SimulationOptions {
  QString data_folder;
  DateTime start;
  std::int64_t duration_s = 0;
  QString trace_path;            // empty: no trace
  QString media_durations_path;  // empty: no manifest
};

// The whole program on the simulated runtime, from start-up, for a span of virtual time.
class Simulation {
 public:
  explicit Simulation(SimulationOptions options);
  ~Simulation();
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  // Runs the span; returns the process exit code.
  int run();

  SimRuntime& runtime() { return runtime_; }
  Trace& trace() { return trace_; }
  // The schedule: the real SQLite files of the data folder.
  db::DataEnvironment& data() { return data_; }

 private:
  SimulationOptions options_;
  SimRuntime runtime_;
  Trace trace_;
  Globals globals_;
  db::DataEnvironment data_;
};

}  // namespace vantora::sim
