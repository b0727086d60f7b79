#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vantora::app {

struct SimulateArguments {
  std::string data_folder;
  std::string start;
  std::int64_t duration_s = 0;
  std::string trace_path;
  std::string media_durations_path;
  std::string input_path;
};

struct PlanArguments {
  std::string data_folder;
  std::string start;  // empty: now
  std::string until;  // empty: the end of the start's day
  std::string json_path;
  std::string html_path;
  bool save = false;
};
// 0 no finding is an error, 1 one is, 2 bad input.
int run_plan(int argc, char** argv, const PlanArguments& args);

struct ReportArguments {
  std::string data_folder;
  std::string day;
  std::string html_path;
  std::string csv_path;
};
// 0 the report was made, 2 bad input (no saved plan, no as-run log).
int run_report(int argc, char** argv, const ReportArguments& args);

struct DemoChannelArguments {
  CLI::App* command = nullptr;
  std::string folder;
  int first_show_s = 95;
  std::string designer;
  std::vector<std::string> ini_lines;
};
void add_demo_channel_command(CLI::App& app, DemoChannelArguments& args);

// Each command returns the process exit code: 0 done, 2 bad arguments or set-up.
int run_simulate(int argc, char** argv, const SimulateArguments& args);
// 0 created, 1 a schedule database is there already (left untouched), 2 it could not be made.
int run_init_db(int argc, char** argv, const std::string& data_folder);
struct ChannelArguments {
  std::string config_path;
  std::int64_t quit_after_s = 0;  // 0: until the operator presses Exit
  // "YYYY-MM-DD HH:MM:SS": the start-up runs at that moment, with the program already loaded, as
  // `plan --start` has it; empty: at once.
  std::string start_at;
};

// Plays the channel named by channel.ini (beside the program, or `config_path`) on this X display.
int run_channel(int argc, char** argv, const ChannelArguments& args);
int run_demo_channel(int argc, char** argv, const DemoChannelArguments& args);

}  // namespace vantora::app
