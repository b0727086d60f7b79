#pragma once

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
};

}  // namespace vantora::platform
