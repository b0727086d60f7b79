#pragma once

#include <QString>

namespace vantora::platform {

// The platform lines of channel.ini that shape the media engine.
enum class VideoOutput { kWindow, kNone };  // video=none: headless machines and tests
enum class AudioOutput { kDevice, kNone };  // audio=none

struct MediaEngineOptions {
  VideoOutput video = VideoOutput::kWindow;
  AudioOutput audio = AudioOutput::kDevice;
  // The longest a graph waits for a file to open or a seek to land; a file that takes longer is
  // not media to the player.
  int open_timeout_ms = 5000;
  // media-log=FILE: the engine's own log, every line stamped with its clock, so that the time a
  // clip's last frame stays up before the next one shows can be read afterwards. Empty: none.
  QString log_file;
};

}  // namespace vantora::platform
