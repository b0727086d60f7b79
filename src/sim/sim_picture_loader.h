#pragma once

#include "ports/pictures.h"

namespace vantora::sim {

// Accepts a file whose first bytes are those of a picture format a picture box can show (PNG,
// JPEG, GIF, BMP, icon, metafile); it decodes nothing, so a run does not depend on the image
// libraries of the machine.
class SimPictureLoader final : public ports::PictureLoader {
 public:
  void LoadPicture(const QString& path) override;
};

}  // namespace vantora::sim
