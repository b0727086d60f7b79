#pragma once

namespace vantora::ports {

// The play position of the media now playing.
class MediaPosition {
 public:
  virtual ~MediaPosition() = default;

  // Seconds from the start of the file.
  virtual double CurrentPosition() const = 0;
};

}  // namespace vantora::ports
