#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/mpv/mpv_options.h"
#include "platform/mpv/mpv_video_window.h"

struct mpv_handle;
struct mpv_event;

namespace vantora::platform {

// The one libmpv player of the program and its video window. Graphs take turns on it: each
// graph is a generation, and only the newest may load files, move the window or read events.
//
// Everything runs on the user-interface thread: events are drained only while a graph waits
// for something, never through callbacks from mpv's threads.
class MpvSession {
 public:
  using Clock = std::chrono::steady_clock;

  // Needs an X display when the video goes to a window. Raises a RuntimeError when libmpv
  // cannot be set up.
  explicit MpvSession(const MediaEngineOptions& options);
  ~MpvSession();
  MpvSession(const MpvSession&) = delete;
  MpvSession& operator=(const MpvSession&) = delete;

  const MediaEngineOptions& options() const { return options_; }

  std::uint64_t new_generation() { return ++generation_; }
  bool is_newest(std::uint64_t generation) const { return generation == generation_; }

  // The generation whose file is loaded (0: none).
  std::uint64_t loaded_by() const { return loaded_by_; }
  void set_loaded_by(std::uint64_t generation) { loaded_by_ = generation; }

  // Queues a file, replacing whatever played; answers its playlist entry id.
  std::int64_t load_file(const QString& path);
  void stop();
  void seek_exact(double seconds);
  void set_paused(bool paused);

  double get_double(const char* property, double fallback) const;
  bool get_flag(const char* property) const;
  // True when the loaded file has a sound track or moving pictures (not a still image alone).
  bool has_playable_track() const;

  // Hands each event to `handler` until it answers true (then true) or the deadline passes
  // (then false).
  bool pump_until(Clock::time_point deadline, const std::function<bool(const mpv_event&)>& handler);
  // Throws away the events waiting now.
  void drain();

  // Null with video=none.
  MpvVideoWindow* window() const { return window_.get(); }

 private:
  void set_option(const char* name, const char* value);

  MediaEngineOptions options_;
  // Declared before the handle: it outlives the engine, which draws into it to the end.
  std::unique_ptr<MpvVideoWindow> window_;
  mpv_handle* mpv_ = nullptr;
  std::uint64_t generation_ = 0;
  std::uint64_t loaded_by_ = 0;
};

}  // namespace vantora::platform
