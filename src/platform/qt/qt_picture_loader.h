#pragma once

#include "ports/pictures.h"

namespace vantora::platform {

// Reads the picture with Qt's image reader, so a file the view could not show fails here.
class QtPictureLoader final : public ports::PictureLoader {
 public:
  void LoadPicture(const QString& path) override;
};

}  // namespace vantora::platform
