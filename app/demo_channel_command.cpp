#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <cstdio>

#include "app/commands.h"
#include "app/demo/demo_channel.h"
#include "base/errors.h"
#include "platform/qt/qt_runtime.h"

namespace vantora::app {
namespace {

const QString kStandInName = QStringLiteral("vantora-designer-stand-in");

// Beside this program (an installed pair), in the build tree's stand_in folder, or on PATH.
QString find_stand_in() {
  const QDir here(QCoreApplication::applicationDirPath());
  for (const QString& candidate : {here.filePath(kStandInName),
                                   here.filePath(QStringLiteral("../stand_in/") + kStandInName)}) {
    if (QFileInfo(candidate).isExecutable()) {
      return QFileInfo(candidate).canonicalFilePath();
    }
  }
  return QStandardPaths::findExecutable(kStandInName);
}

}  // namespace

void add_demo_channel_command(CLI::App& app, DemoChannelArguments& args) {
  args.command = app.add_subcommand(
      "demo-channel",
      "Make a small channel for today in DIR: test-pattern clips, logos, a schedule whose first "
      "show starts a minute or so after the player's start-up, and channel.ini.");
  args.command->add_option("DIR", args.folder, "A folder without a schedule (created if missing)")
      ->required();
  args.command
      ->add_option("--first-show-in", args.first_show_s,
                   "Seconds from now to the first show (the player's start-up takes about 35)")
      ->check(CLI::Range(40, 86400));
  args.command->add_option("--designer", args.designer,
                           "The designer program (default: vantora-designer-stand-in)");
  args.command->add_option("--ini-line", args.ini_lines,
                           "Another platform line for channel.ini, key=value (repeatable)");
}

int run_demo_channel(int argc, char** argv, const DemoChannelArguments& args) {
  QCoreApplication application(argc, argv);
  platform::demo::ChannelOptions options;
  options.folder = QDir(QString::fromStdString(args.folder)).absolutePath();
  options.timeline.first_show_s = args.first_show_s;
  options.designer_program = QString::fromStdString(args.designer);
  if (options.designer_program.isEmpty()) {
    options.designer_program = find_stand_in();
  }
  if (options.designer_program.isEmpty()) {
    std::fprintf(stderr, "warning: %s not found; channel.ini names it bare\n",
                 qPrintable(kStandInName));
    options.designer_program = kStandInName;
  }
  for (const std::string& line : args.ini_lines) {
    options.platform_lines << QString::fromStdString(line);
  }

  platform::QtRuntime runtime;
  try {
    const platform::demo::ChannelSummary summary = platform::demo::make_channel(
        options, [&runtime] { return runtime.now(); },
        [](const QString& line) {
          std::printf("%s\n", qPrintable(line));
          std::fflush(stdout);
        });
    std::printf("made %d clips in %.1f s\nchannel: %s\n", summary.clips,
                static_cast<double>(summary.media_ms) / 1000.0,
                qPrintable(QDir::toNativeSeparators(summary.channel_ini)));
  } catch (const RuntimeError& error) {
    std::fprintf(stderr, "demo-channel: %s\n", qPrintable(error.description()));
    return 2;
  }
  return 0;
}

}  // namespace vantora::app
