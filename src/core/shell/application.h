#pragma once

#include <functional>
#include <memory>

#include "core/database/data_environment.h"
#include "core/shell/channel_ini.h"
#include "core/shell/error_log.h"
#include "core/shell/forms.h"
#include "core/shell/player.h"
#include "ports/player_ports.h"

namespace vantora {

// The program's forms and their order: the Startup form launches the designer and loads the
// Player form, which runs the day; the Restart form reloads the Player form on request.
class Application {
 public:
  Application(const ports::PlayerPorts& ports, db::DataEnvironment& data, Globals& globals,
              ChannelSettings settings);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The first form's load event: everything else follows from its timer.
  void Startup_Load();

  // Reloads the player window through the Restart form. Ignored until the player window is
  // loaded and while a restart runs.
  void Restart_Load();

  Player* player() const { return player_.get(); }
  bool restarting() const { return restarting_; }
  // The log of the Startup form's own procedures; the player window has its own.
  ErrorLog& startup_errors() { return startup_log_; }

  // A new player window, before its load event runs: views attach, handlers are connected.
  std::function<void(Player&)> player_loaded;
  // A player window after its unload event, just before it goes.
  std::function<void(Player&)> player_unloaded;

  forms::StartupForm startup_form;
  forms::RestartForm restart_form;
  DateTime StartAt;

  // How the program ends after the Exit button unloaded the player window; the real one leaves
  // its event loop.
  std::function<void()> end_program;

  // Exposed for the views' and tests' sake; the forms' own events call these.
  void Timer1_Timer();
  void Launch_Designer();
  void Startup_Unload();
  void Restart_Unload();
  enum class Show { kHidden, kShown };
  void Load_Player(Show show);
  void Unload_Player();

 private:
  enum class DesignerLaunch { kLaunch, kAlreadyRunning, kNone };
  void yield_times(int count);
  void purge_playlist();
  void read_designer_document();

  ports::PlayerPorts ports_;
  ports::Runtime& runtime_;
  ports::Desktop& desktop_;
  db::DataEnvironment& data_;
  Globals& module1_;
  ChannelSettings settings_;
  ErrorLog startup_log_;
  std::shared_ptr<Player> player_;
  std::shared_ptr<Player> retired_;
  bool restarting_ = false;
};

}  // namespace vantora
