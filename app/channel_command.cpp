#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include "app/commands.h"
#include "app/signal_relay.h"
#include "base/errors.h"
#include "core/shell/application.h"
#include "core/shell/channel_ini.h"
#include "platform/asrun/as_run_log.h"
#include "platform/mpv/mpv_engine.h"
#include "platform/qt/qt_file_lister.h"
#include "platform/qt/qt_picture_loader.h"
#include "platform/qt/qt_runtime.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "platform/views/form_view.h"
#include "platform/x11/x11_desktop.h"

namespace vantora::app {
namespace {

// channel.ini's platform lines: video=none runs without a video window (headless machines),
// audio=none without sound, media-log=FILE keeps the media engine's log.
platform::MediaEngineOptions media_options(const ChannelSettings& settings) {
  platform::MediaEngineOptions options;
  if (settings.platform.value(QStringLiteral("video"))
          .compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0) {
    options.video = platform::VideoOutput::kNone;
  }
  if (settings.platform.value(QStringLiteral("audio"))
          .compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0) {
    options.audio = platform::AudioOutput::kNone;
  }
  options.log_file = settings.platform.value(QStringLiteral("media-log"));
  return options;
}

}  // namespace

int run_channel(int argc, char** argv, const ChannelArguments& args) {
  QApplication application(argc, argv);

  const QString ini_path =
      args.config_path.empty()
          ? QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("channel.ini"))
          : QString::fromStdString(args.config_path);
  ChannelSettings settings;
  try {
    settings = read_channel_ini(ini_path);
  } catch (const RuntimeError&) {
    std::fprintf(stderr,
                 "vantora-player: cannot read %s: its first line names the data folder "
                 "(--config FILE names another channel.ini)\n",
                 qPrintable(ini_path));
    return 2;
  }
  if (settings.data_folder.isEmpty() || !QFileInfo(settings.data_folder).isDir()) {
    std::fprintf(stderr, "vantora-player: the data folder \"%s\" named by %s does not exist\n",
                 qPrintable(settings.data_folder), qPrintable(ini_path));
    return 2;
  }
  const QDateTime start_moment = args.start_at.empty()
                                     ? QDateTime::currentDateTime()
                                     : QDateTime::fromString(QString::fromStdString(args.start_at),
                                                             QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  if (!start_moment.isValid()) {
    std::fprintf(stderr, "vantora-player: --start-at wants \"YYYY-MM-DD HH:MM:SS\", got \"%s\"\n",
                 args.start_at.c_str());
    return 2;
  }
  platform::X11Desktop desktop;
  if (!desktop.connected()) {
    std::fprintf(stderr, "vantora-player: no X display to play on (is DISPLAY set?)\n");
    return 2;
  }

  platform::QtRuntime runtime;
  Globals globals;
  db::DataEnvironment data(platform::sqlite_store_factory());
  platform::MpvEngine media(media_options(settings));
  platform::QtFileLister files;
  platform::QtPictureLoader pictures;
  Application shell(ports::PlayerPorts{runtime, desktop, media, files, pictures}, data, globals,
                    settings);

  auto register_window = [&desktop](const QString& form, WId window) {
    desktop.set_form_window(form, static_cast<ports::WindowHandle>(window));
  };
  platform::FormView startup_view(shell.startup_form);
  startup_view.on_window_made = register_window;
  platform::FormView restart_view(shell.restart_form);
  restart_view.on_window_made = register_window;
  std::unique_ptr<platform::FormView> player_view;
  std::unique_ptr<platform::FormView> retired_view;
  platform::AsRunLog as_run(runtime, settings.data_folder);
  shell.player_loaded = [&](Player& player) {
    as_run.attach(player.playout, player.errors);
    player_view = std::make_unique<platform::FormView>(player.form);
    player_view->on_window_made = register_window;
  };
  // The unload may come from a click on this very view: it is kept until the next one goes.
  shell.player_unloaded = [&](Player& /*player*/) { retired_view = std::move(player_view); };

  shell.end_program = [] { QCoreApplication::quit(); };
  // An unattended stop goes the operator's way: the Exit button halts the timers before the
  // unload, whose key waits would otherwise let them tick over a released media graph, and the
  // designer gets its closing keys.
  auto press_exit = [&shell] {
    if (Player* player = shell.player()) {
      player->form.Command1.click();
    } else {
      shell.end_program();
    }
  };
  SignalRelay signals;
  signals.on_hangup = [&shell] { shell.Restart_Load(); };
  signals.on_terminate = press_exit;

  const std::chrono::milliseconds until_start(
      std::max<qint64>(0, QDateTime::currentDateTime().msecsTo(start_moment)));
  QTimer quit_timer;
  if (args.quit_after_s > 0) {
    quit_timer.setSingleShot(true);
    QObject::connect(&quit_timer, &QTimer::timeout, press_exit);
    quit_timer.start(until_start + std::chrono::seconds(args.quit_after_s));
  }

  // Waiting here, with the libraries loaded and the display open, is what lets a start-up at a
  // planned moment tick in step with the plan made for it.
  QTimer start_timer;
  start_timer.setSingleShot(true);
  start_timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&start_timer, &QTimer::timeout, [&shell, &as_run] {
    as_run.record_startup();
    shell.Startup_Load();
  });
  start_timer.start(until_start);
  return QApplication::exec();
}

}  // namespace vantora::app
