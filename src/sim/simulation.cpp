#include "sim/simulation.h"

#include <cstdio>

#include "core/shell/player.h"
#include "platform/sql/sqlite_schedule_store.h"

namespace vantora::sim {

Simulation::Simulation(SimulationOptions options)
    : options_(std::move(options)),
      runtime_(options_.start),
      trace_(runtime_),
      data_(platform::sqlite_store_factory()) {
  globals_.DataFolder = options_.data_folder;
  data_.set_data_folder(options_.data_folder);
}

Simulation::~Simulation() = default;

int Simulation::run() {
  if (!options_.trace_path.isEmpty() && !trace_.open(options_.trace_path)) {
    std::fprintf(stderr, "cannot write the trace file %s\n", qPrintable(options_.trace_path));
    return 2;
  }
  TraceFormObserver observer(trace_);
  Player player(runtime_, globals_, data_);
  player.form.add_observer(&observer);
  player.errors.add_listener([this](const LoggedError& entry) {
    trace_.error(entry.number, entry.description, entry.procedure);
  });
  runtime_.run_for_ms(options_.duration_s * 1000);
  player.form.remove_observer(&observer);
  return 0;
}

}  // namespace vantora::sim
