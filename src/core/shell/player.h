#pragma once

#include <functional>

#include "core/database/data_environment.h"
#include "core/shell/error_log.h"
#include "core/shell/forms.h"
#include "core/shell/player_state.h"
#include "core/shell/playout_record.h"
#include "ports/player_ports.h"

namespace vantora {

// The player window with everything its procedures reach: the state, the controls, the error
// log, the shared globals and the platform's ports. Procedures are free functions taking the
// Player, so each subsystem keeps its procedures in its own files.
struct Player {
  Player(const ports::PlayerPorts& ports, Globals& globals, db::DataEnvironment& data_environment)
      : runtime(ports.runtime),
        module1(globals),
        data(data_environment),
        desktop(ports.desktop),
        media(ports.media),
        files(ports.files),
        pictures(ports.pictures),
        errors(ports.runtime, globals.DataFolder),
        form(ports.runtime) {}

  ports::Runtime& runtime;
  Globals& module1;
  db::DataEnvironment& data;
  ports::Desktop& desktop;
  ports::MediaEngine& media;
  ports::FileLister& files;
  // Loads the pictures of the logo box.
  ports::PictureLoader& pictures;
  ErrorLog errors;
  // What went on air; the trace and the as-run log observe it.
  PlayoutRecord playout;
  forms::PlayerForm form;
  PlayerState state;

  // Unloads this window and ends the program; the application that loaded the window sets it.
  std::function<void()> unload_and_end;
};

}  // namespace vantora
