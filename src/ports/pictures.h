#pragma once

#include <QString>

namespace vantora::ports {

// Loads the picture a picture box shows.
class PictureLoader {
 public:
  virtual ~PictureLoader() = default;

  // Succeeds when the file holds a picture the view can show; raises vantora::RuntimeError
  // otherwise: 53 (File not found) for a missing file, 481 (Invalid picture) for anything else.
  virtual void LoadPicture(const QString& path) = 0;
};

}  // namespace vantora::ports
