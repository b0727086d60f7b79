#pragma once

#include <QString>
#include <cstdint>
#include <memory>

namespace vantora::ports {

// One media graph plays one file. The player holds it through six references, one per role
// below, all on the same graph object; dropping the last of them destroys the graph and stops
// whatever it played (no explicit stop exists).
//
// Every failure is a vantora::RuntimeError. A file that is not media fails RenderFile with a
// number in the media range (err::is_media_error). A completion wait that runs out of time is no
// failure: it answers Completion::kTimedOut.

// Builds the graph for a file and drives it.
class MediaControl {
 public:
  virtual ~MediaControl() = default;
  // Returns once the graph can show its first frame, stopped at the start of the file, or fails
  // within a bounded wait: a missing, empty, corrupt or non-media file, a folder, an empty path.
  virtual void RenderFile(const QString& path) = 0;
  virtual void Run() = 0;
  virtual void Pause() = 0;
};

// Position and length of the rendered file, in seconds.
class MediaPosition {
 public:
  virtual ~MediaPosition() = default;
  virtual double CurrentPosition() const = 0;
  // Seeks exactly (not to a key frame) and returns once the new position holds.
  virtual void put_CurrentPosition(double seconds) = 0;
  virtual double Duration() const = 0;
};

// The roles of the graph nobody calls into: their references only take part in the release order.
class BasicVideo {
 public:
  virtual ~BasicVideo() = default;
};
class BasicAudio {
 public:
  virtual ~BasicAudio() = default;
};

// The graph's video window, a top-level window on the screen.
class VideoWindow {
 public:
  virtual ~VideoWindow() = default;
  virtual std::int32_t Owner() const = 0;
  virtual void put_Owner(std::int32_t owner_hwnd) = 0;
  virtual std::int32_t WindowStyle() const = 0;
  virtual void put_WindowStyle(std::int32_t style) = 0;
  virtual int Left() const = 0;
  virtual void put_Left(int left_px) = 0;
  virtual int Top() const = 0;
  virtual void put_Top(int top_px) = 0;
  virtual int Width() const = 0;
  virtual void put_Width(int width_px) = 0;
  virtual int Height() const = 0;
  virtual void put_Height(int height_px) = 0;
  virtual QString Caption() const = 0;
  virtual void put_Caption(const QString& caption) = 0;
  // Brings the window to the front; it takes the keyboard focus only when `focus` is True.
  virtual void SetWindowForeground(std::int16_t focus) = 0;
  // The window's handle as the desktop knows it; 0 when there is no window.
  virtual std::int32_t hwnd() const = 0;
};

// What a completion wait came to.
enum class Completion { kComplete, kTimedOut };

class MediaEvent {
 public:
  virtual ~MediaEvent() = default;
  // kComplete once the running file has reached its end (and for as long as it stays there);
  // otherwise kTimedOut after waiting at most `timeout_ms`. The timers poll several times a
  // second while a clip plays, so running out of time is an answer here, not an error; the
  // caller decides whether it is one (err::kWaitTimedOut).
  virtual Completion WaitForCompletion(int timeout_ms) = 0;
};

class MediaGraph : public MediaControl,
                   public MediaPosition,
                   public BasicVideo,
                   public BasicAudio,
                   public VideoWindow,
                   public MediaEvent {};

// What a graph is built for. It changes nothing in playback; engines use it for their records.
enum class MediaMode { kNormal, kFiller, kNews };

// Makes graphs. Only the newest graph drives the screen and the sound: the ones made before it
// never see its file or its events.
class MediaEngine {
 public:
  virtual ~MediaEngine() = default;
  virtual std::shared_ptr<MediaGraph> create_graph(MediaMode mode) = 0;
};

}  // namespace vantora::ports
