#include "core/shell/application.h"

#include "base/values.h"
#include "core/database/columns.h"
#include "core/designer/designer_link.h"
#include "core/shell/player_handlers.h"
#include "core/shell/player_lifecycle.h"
#include "core/shell/procedure.h"

namespace vantora {

Application::Application(const ports::PlayerPorts& ports, db::DataEnvironment& data,
                         Globals& globals, ChannelSettings settings)
    : startup_form(ports.runtime),
      ports_(ports),
      runtime_(ports.runtime),
      desktop_(ports.desktop),
      data_(data),
      module1_(globals),
      settings_(std::move(settings)),
      startup_log_(ports.runtime) {
  startup_form.Timer1.on_timer = [this] { Timer1_Timer(); };
}

Application::~Application() = default;

void Application::yield_times(int count) {
  for (int i = 0; i < count; ++i) {
    runtime_.yield();
  }
}

void Application::Startup_Load() {
  module1_.DataFolder = settings_.data_folder;
  startup_log_.set_data_folder(module1_.DataFolder);
  data_.set_data_folder(module1_.DataFolder);
  startup_form.Visible = true;
  StartAt = date_time::add_seconds(date_time::truncate_to_second(runtime_.now()), 4);
  startup_form.Timer1.Enabled = true;
  purge_playlist();
  read_designer_document();
}

// Finished rows and rows more than a month old go; the scheduling tool only ever adds.
void Application::purge_playlist() {
  Procedure proc(startup_log_, QStringLiteral("Form_Load"));
  db::Recordset& rs = data_.rsplaylist;
  if (!proc([&] { rs.open(); })) {
    return;
  }
  proc([&] {
    if (!rs.bof()) {
      rs.move_first();
    }
  });
  const DateTime now = date_time::truncate_to_second(runtime_.now());
  while (!rs.eof()) {
    proc([&] {
      if (values::is_true(rs.field(db::col::playlist::kStarted)) &&
          values::is_true(rs.field(db::col::playlist::kCompleted))) {
        rs.delete_current();
      } else if (now > date_time::add_months(
                           values::to_date_time(rs.field(db::col::playlist::kSegStartTime)), 1)) {
        rs.delete_current();
      }
    });
    if (!proc([&] { rs.move_next(); })) {
      break;
    }
  }
  proc([&] { rs.update_batch(); });
  proc([&] { rs.close(); });
}

void Application::read_designer_document() {
  Procedure proc(startup_log_, QStringLiteral("Form_Load"));
  db::Recordset& rs = data_.rsPlayer_INI;
  if (!proc([&] { rs.open(); })) {
    return;
  }
  proc([&] {
    rs.move_first();
    module1_.DesignerDocument = values::to_text(rs.field(db::col::player_ini::kDesignerDocument));
  });
  proc([&] { rs.close(); });
}

void Application::Timer1_Timer() {
  if (date_time::truncate_to_second(runtime_.now()) > StartAt) {
    startup_form.Timer1.Enabled = false;
    Launch_Designer();
  }
}

void Application::Launch_Designer() {
  // A start-up that cannot reach the designer still loads the player: the day must run.
  Procedure proc(startup_log_, QStringLiteral("Launch_Designer()"));
  const ports::WindowHandle own_window = desktop_.form_window(startup_form.name());
  yield_times(5);
  runtime_.sleep_ms(1000);
  yield_times(22);
  runtime_.sleep_ms(500);
  yield_times(28);
  runtime_.sleep_ms(500);
  yield_times(4);
  startup_form.Label1.Caption = QStringLiteral("Launching designer");

  const QString program = settings_.designer_command();
  const bool designer_configured = !program.isEmpty();
  // After a crash the last run's designer is still up with its presentation loaded. A second copy
  // would put two windows under one title, and the keys could reach either; the running one is
  // taken over instead, and its launch wait is spared, so the screen is dark 10 s less.
  const DesignerLaunch launch = !designer_configured ? DesignerLaunch::kNone
                                : desktop_.find_window(designer::window_title()) != 0
                                    ? DesignerLaunch::kAlreadyRunning
                                    : DesignerLaunch::kLaunch;
  if (designer_configured) {
    module1_.DesignerDocument = program + QLatin1Char(' ') + module1_.DesignerDocument;
  }
  if (launch == DesignerLaunch::kLaunch) {
    proc([&] { desktop_.Shell(module1_.DesignerDocument); });
  } else if (launch == DesignerLaunch::kNone) {
    proc.raise(
        RuntimeError(err::kFileNotFound, QStringLiteral("no designer program: channel.ini has no "
                                                        "designer=COMMAND line")));
  }
  // Without a designer the waits stay, so the player window loads at its usual moment; the
  // keystrokes would have no one to go to.
  auto to_designer = [&](auto&& statement) {
    if (designer_configured) {
      proc(statement);
    }
  };

  if (launch != DesignerLaunch::kAlreadyRunning) {
    runtime_.sleep_ms(10000);
  }
  startup_form.Label1.Caption = QStringLiteral("DESIGNER Launched");
  to_designer([&] { designer::Activate(desktop_); });
  runtime_.sleep_ms(1000);
  startup_form.Label1.Caption = QStringLiteral("Designer Activated");
  yield_times(2);
  module1_.DesignerHwnd = desktop_.GetForegroundWindow();
  yield_times(2);
  startup_form.Label1.Caption = QStringLiteral("DESIGNER Hnd received");
  proc([&] { desktop_.SetWindowPos(own_window, ports::ZOrder::kTopmost, QRect(0, 0, 800, 600)); });
  startup_form.Label1.Caption = QStringLiteral("Designer Position set");

  yield_times(4);
  runtime_.sleep_ms(1000);
  yield_times(4);
  to_designer([&] { designer::Send_Keys(desktop_, QStringLiteral("^{F1}")); });
  yield_times(5);
  runtime_.sleep_ms(2000);

  to_designer([&] { designer::Activate(desktop_); });
  yield_times(3);
  runtime_.sleep_ms(1000);
  yield_times(6);
  to_designer([&] { designer::Send_Keys(desktop_, QStringLiteral("%y")); });
  yield_times(3);
  runtime_.sleep_ms(1000);
  yield_times(6);

  startup_form.Visible = false;
  Startup_Unload();
}

void Application::Startup_Unload() {
  Load_Player(Show::kHidden);
}

void Application::Load_Player(Show show) {
  player_ = std::make_shared<Player>(ports_, module1_, data_);
  Connect_Player_Handlers(*player_);
  player_->unload_and_end = [this] {
    Unload_Player();
    if (end_program) {
      end_program();
    }
  };
  if (player_loaded) {
    player_loaded(*player_);
  }
  Form_Load(*player_);
  if (show == Show::kShown) {
    player_->form.Visible = true;
  }
}

void Application::Unload_Player() {
  if (!player_) {
    return;
  }
  std::shared_ptr<Player> leaving = std::move(player_);
  // The timers stop before the closing waits, which yield for seconds: a news item or a break
  // falling due then would start a clip over the closing designer and lose its keystrokes.
  forms::PlayerForm& form = leaving->form;
  for (forms::TimerControl* timer : {&form.T_Movie, &form.AdTimer, &form.FillerTimer,
                                     &form.NewsTimer, &form.LogoTimer, &form.Timer2}) {
    timer->Enabled = false;
  }
  Form_Unload(*leaving);
  leaving->state.lifecycle.Unloaded = kTrue;
  leaving->errors.window_unloaded = true;
  form.Visible = false;
  if (player_unloaded) {
    player_unloaded(*leaving);
  }
  // The unload may have been asked for by one of the window's own handlers, still on the stack:
  // the window is kept until the next one goes.
  retired_ = std::move(leaving);
}

void Application::Restart_Load() {
  if (restarting_ || !player_) {
    return;
  }
  restarting_ = true;
  yield_times(2);
  Unload_Player();
  yield_times(2);
  restart_form.Visible = true;
  yield_times(4);
  runtime_.sleep_ms(5000);
  yield_times(2);
  restart_form.Visible = false;
  Restart_Unload();
  restarting_ = false;
}

void Application::Restart_Unload() {
  yield_times(2);
  Load_Player(Show::kShown);
  yield_times(2);
}

}  // namespace vantora
