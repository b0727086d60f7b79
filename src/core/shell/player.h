#pragma once

#include <functional>

#include "core/database/data_environment.h"
#include "core/shell/error_log.h"
#include "core/shell/forms.h"
#include "core/shell/player_state.h"
#include "ports/desktop.h"
#include "ports/file_lister.h"
#include "ports/media_graph.h"
#include "ports/pictures.h"
#include "ports/runtime.h"

namespace vantora {

// The player window with everything its procedures reach: the state, the controls, the error
// log, the shared globals and the platform's ports. Procedures are free functions taking the
// Player, so each subsystem keeps its procedures in its own files.
struct Player {
  Player(ports::Runtime& runtime_port, Globals& globals, db::DataEnvironment& data_environment,
         ports::Desktop& desktop_port, ports::MediaEngine& media_engine,
         ports::FileLister& file_lister)
      : runtime(runtime_port),
        module1(globals),
        data(data_environment),
        desktop(desktop_port),
        media(media_engine),
        files(file_lister),
        errors(runtime_port, globals.DataFolder),
        form(runtime_port) {}

  ports::Runtime& runtime;
  Globals& module1;
  db::DataEnvironment& data;
  ports::Desktop& desktop;
  ports::MediaEngine& media;
  ports::FileLister& files;
  ErrorLog errors;
  forms::PlayerForm form;
  PlayerState state;

  // Loads the logo pictures; bound by whoever builds the player.
  ports::PictureLoader* pictures = nullptr;

  // Unloads this window and ends the program; the application that loaded the window sets it.
  std::function<void()> unload_and_end;
};

}  // namespace vantora
