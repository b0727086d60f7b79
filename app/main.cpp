#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "app/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"Vantora Player: plays a channel's day from its schedule, unattended."};
  app.set_version_flag("--version", std::string("vantora-player ") + VANTORA_VERSION);
  app.require_subcommand(0, 1);

  vantora::app::SimulateArguments simulate_args;
  CLI::App* simulate = app.add_subcommand(
      "simulate", "Run the program on a virtual clock, as fast as it goes, and trace it.");
  simulate->add_option("--data", simulate_args.data_folder, "The data folder (no channel.ini)")
      ->required();
  simulate
      ->add_option("--start", simulate_args.start,
                   "Virtual local start time, \"YYYY-MM-DD HH:MM:SS\"")
      ->required();
  simulate->add_option("--for", simulate_args.duration_s, "Seconds of virtual time to run")
      ->required()
      ->check(CLI::NonNegativeNumber);
  simulate->add_option("--trace", simulate_args.trace_path, "Write the JSON Lines trace here");
  simulate->add_option("--media-durations", simulate_args.media_durations_path,
                       "TSV of path and seconds: the files the simulated engine plays");
  simulate->add_option("--input", simulate_args.input_path,
                       "Script of clicks, clipboard changes, restarts, crashes and launches, one "
                       "\"[YYYY-MM-DD] HH:MM:SS[.mmm] ACTION ARGS\" a line (see docs/trace.md)");

  vantora::app::PlanArguments plan_args;
  CLI::App* plan = app.add_subcommand(
      "plan",
      "Dry-run the day on a copy of the schedule and say what would go wrong. Exits 0 "
      "when nothing is an error, 1 when something is, 2 on bad input.");
  plan->add_option("--data", plan_args.data_folder, "The data folder (only read)")->required();
  plan->add_option("--start", plan_args.start, "\"YYYY-MM-DD HH:MM:SS\" (default: now)");
  plan->add_option("--until", plan_args.until,
                   "\"YYYY-MM-DD HH:MM:SS\" (default: the end of the start's day)");
  plan->add_option("--json", plan_args.json_path, "Write the plan as JSON here");
  plan->add_option("--html", plan_args.html_path, "Write the plan as one HTML page here");
  plan->add_flag("--save", plan_args.save, "Keep the plan as DIR/plans/YYYY-MM-DD.json");

  vantora::app::ReportArguments report_args;
  CLI::App* report = app.add_subcommand(
      "report", "Compare a day's saved plan with its as-run log: lateness, misses, billing.");
  report->add_option("--data", report_args.data_folder, "The data folder")->required();
  report->add_option("--day", report_args.day, "YYYY-MM-DD")->required();
  report->add_option("--html", report_args.html_path, "Write the report as one HTML page here");
  report->add_option("--csv", report_args.csv_path, "Write the billing list of ads here");

  vantora::app::ChannelArguments channel_args;
  app.add_option("--config", channel_args.config_path,
                 "The channel.ini to read instead of the one beside the program");
  app.add_option("--quit-after", channel_args.quit_after_s,
                 "Press the Exit button after this many seconds (unattended demos and tests)")
      ->check(CLI::PositiveNumber);
  app.add_option("--start-at", channel_args.start_at,
                 "\"YYYY-MM-DD HH:MM:SS\": start the channel at that moment (as `plan --start`)");

  std::string init_db_folder;
  CLI::App* init_db = app.add_subcommand(
      "init-db",
      "Create DIR/wizard.db, the schedule database, with every table and default settings. "
      "Exits with 1 and leaves the file alone when it exists.");
  init_db->add_option("DIR", init_db_folder, "The data folder (created if missing)")->required();

  vantora::app::DemoChannelArguments demo_channel_args;
  vantora::app::add_demo_channel_command(app, demo_channel_args);

  CLI11_PARSE(app, argc, argv);

  if (*init_db) {
    return vantora::app::run_init_db(argc, argv, init_db_folder);
  }
  if (*demo_channel_args.command) {
    return vantora::app::run_demo_channel(argc, argv, demo_channel_args);
  }

  if (*plan) {
    return vantora::app::run_plan(argc, argv, plan_args);
  }
  if (*report) {
    return vantora::app::run_report(argc, argv, report_args);
  }
  if (*simulate) {
    return vantora::app::run_simulate(argc, argv, simulate_args);
  }
  return vantora::app::run_channel(argc, argv, channel_args);
}
