// vantora-soak: the recovery soak at any size. The same seed gives the same days, crashes and
// outages, so a failing run is repeated from its seed.
#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "tools/soak/recovery_soak.h"

int main(int argc, char** argv) {
  CLI::App cli{"Crashes generated channel days at seeded moments and checks every restart."};
  vantora::soak::SoakParameters parameters;
  parameters.crashes = 1000;
  parameters.days = 7;
  std::string folder;
  cli.add_option("--seed", parameters.seed, "seed of the days, crashes and outages");
  cli.add_option("--crashes", parameters.crashes, "crashes in all");
  cli.add_option("--days", parameters.days, "generated days, one after another");
  cli.add_option("--shows", parameters.shows_per_day, "shows a day");
  cli.add_option("--hours", parameters.programme_hours, "hours of programme a day");
  cli.add_option("--breaks", parameters.breaks_per_show, "ad and news breaks a show");
  cli.add_option("--max-outage", parameters.max_outage_s, "longest outage, seconds");
  cli.add_option("--folder", folder, "where the days are written (default: a temporary folder)");
  bool verbose = false;
  cli.add_flag("--verbose", verbose, "a line for every checked day start");
  CLI11_PARSE(cli, argc, argv);

  QCoreApplication application(argc, argv);
  QTemporaryDir temporary;
  parameters.work_folder = folder.empty() ? temporary.path() : QString::fromStdString(folder);
  QDir().mkpath(parameters.work_folder);
  parameters.progress = [](const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
  };
  if (verbose) {
    parameters.each_start = parameters.progress;
  }
  std::printf("soak: seed %u, %d crashes over %d days\n", parameters.seed, parameters.crashes,
              parameters.days);
  const vantora::soak::SoakFigures figures = vantora::soak::run_soak(parameters);
  std::printf("%s\n", qPrintable(vantora::soak::describe(figures)));
  return figures.violations.isEmpty() ? 0 : 1;
}
