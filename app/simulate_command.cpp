#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

#include "app/commands.h"
#include "base/errors.h"
#include "base/values.h"
#include "platform/mpv/mpv_engine.h"
#include "sim/simulation.h"

namespace vantora::app {

int run_simulate(int argc, char** argv, const SimulateArguments& args) {
  QCoreApplication application(argc, argv);

  DateTime start;
  const QString start_text = QString::fromStdString(args.start);
  if (!values::parse_date_time(start_text, &start) || date_time::date_part(start).value == 0.0) {
    std::fprintf(stderr, "--start wants \"YYYY-MM-DD HH:MM:SS\", got \"%s\"\n", args.start.c_str());
    return 2;
  }
  const QString data_folder = QString::fromStdString(args.data_folder);
  if (!QDir(data_folder).exists()) {
    std::fprintf(stderr, "the data folder %s does not exist\n", args.data_folder.c_str());
    return 2;
  }

  sim::SimulationOptions options;
  // The whole script is read first: a wrong line stops the run before anything is simulated.
  if (!args.input_path.empty()) {
    QString error;
    auto script = sim::InputScript::load(QString::fromStdString(args.input_path), start, &error);
    if (!script) {
      std::fprintf(stderr, "%s\n", qPrintable(error));
      return 2;
    }
    options.input = std::move(*script);
  }
  options.data_folder = QDir(data_folder).absolutePath();
  options.start = start;
  options.duration_s = args.duration_s;
  options.trace_path = QString::fromStdString(args.trace_path);
  options.media_durations_path = QString::fromStdString(args.media_durations_path);
  // A file the manifest does not list is media when the real engine can open it; the engine
  // starts only when such a file comes up.
  options.media_prober = platform::lazy_duration_probe();
  sim::Simulation simulation(options);
  return simulation.run();
}

}  // namespace vantora::app
