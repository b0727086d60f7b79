#pragma once

#include "ports/desktop.h"
#include "ports/file_lister.h"
#include "ports/media_graph.h"
#include "ports/pictures.h"
#include "ports/runtime.h"

namespace vantora::ports {

// Everything the platform lends the player window, handed over in one piece so that no port can
// be forgotten or bound late. The program (real or simulated) owns the adapters for the whole run.
struct PlayerPorts {
  Runtime& runtime;
  Desktop& desktop;
  MediaEngine& media;
  FileLister& files;
  PictureLoader& pictures;
};

}  // namespace vantora::ports
