#include "platform/mpv/mpv_graph.h"

#include <mpv/client.h>

#include <QFileInfo>
#include <QLoggingCategory>
#include <chrono>

#include "base/errors.h"

namespace vantora::platform {

namespace {

Q_LOGGING_CATEGORY(media_log, "vantora.media")

enum class Opening { kWaiting, kReady, kFailed };

}  // namespace

MpvGraph::MpvGraph(std::shared_ptr<MpvSession> session)
    : session_(std::move(session)), generation_(session_->new_generation()) {}

MpvGraph::~MpvGraph() {
  if (!session_->is_newest(generation_)) {
    if (session_->loaded_by() == generation_) {
      // The next clip's graph exists and will load over this file: the picture holds this
      // one's frame until the next one has its first, so a clip change never shows the desktop
      // or a black window in between.
      try {
        session_->set_paused(true);
      } catch (const RuntimeError&) {
      }
    }
    return;
  }
  // No graph comes after this one: nothing it or a predecessor loaded stays on the screen.
  if (session_->loaded_by() != 0) {
    clear_picture();
  }
}

void MpvGraph::clear_picture() {
  session_->stop();
  session_->set_loaded_by(0);
  if (MpvVideoWindow* window = session_->window()) {
    window->hide();
  }
}

void MpvGraph::release_held_picture() {
  // A clip that cannot play must not leave the one before it frozen on the screen.
  if (session_->loaded_by() != 0 && session_->loaded_by() != generation_) {
    clear_picture();
  }
}

MpvSession::Clock::time_point MpvGraph::open_deadline() const {
  return MpvSession::Clock::now() + std::chrono::milliseconds(session_->options().open_timeout_ms);
}

bool MpvGraph::owns_file() const {
  return rendered_ && session_->loaded_by() == generation_;
}

void MpvGraph::require_file() const {
  if (!owns_file()) {
    throw RuntimeError(err::kMediaWrongState);
  }
}

MpvVideoWindow* MpvGraph::own_window() const {
  return session_->is_newest(generation_) ? session_->window() : nullptr;
}

void MpvGraph::RenderFile(const QString& path) {
  if (!session_->is_newest(generation_)) {
    throw RuntimeError(err::kMediaWrongState);
  }
  if (path.isEmpty() || !QFileInfo::exists(path)) {
    release_held_picture();
    throw RuntimeError(err::kMediaFileNotFound);
  }
  // mpv would play a folder as a playlist of its files.
  if (QFileInfo(path).isDir()) {
    release_held_picture();
    throw RuntimeError(err::kMediaUnknownFileType);
  }

  rendered_ = false;
  render_called_ = MpvSession::Clock::now();
  rendered_path_ = path;
  running_logged_ = false;
  session_->set_paused(true);
  session_->set_loaded_by(generation_);
  const std::int64_t entry_id = session_->load_file(path);

  // The previous file's end arrives before this one starts: only events carrying this file's
  // playlist entry count. The first frame is ready when playback restarts after the load.
  bool started = false;
  bool loaded = false;
  Opening opening = Opening::kWaiting;
  std::int32_t failure = err::kMediaCannotRender;
  session_->pump_until(open_deadline(), [&](const mpv_event& event) {
    switch (event.event_id) {
      case MPV_EVENT_START_FILE: {
        const auto* start = static_cast<const mpv_event_start_file*>(event.data);
        started = started || start->playlist_entry_id == entry_id || entry_id < 0;
        break;
      }
      case MPV_EVENT_FILE_LOADED:
        if (started) {
          loaded = true;
          if (!session_->has_playable_track()) {
            failure = err::kMediaUnknownFileType;
            opening = Opening::kFailed;
          }
        }
        break;
      case MPV_EVENT_PLAYBACK_RESTART:
        if (loaded) {
          opening = Opening::kReady;
        }
        break;
      case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (started && (end->playlist_entry_id == entry_id || entry_id < 0)) {
          // A playlist (or anything mpv expands into entries) is not a media file.
          failure = end->reason == MPV_END_FILE_REASON_REDIRECT ? err::kMediaUnknownFileType
                                                                : err::kMediaCannotRender;
          opening = Opening::kFailed;
        }
        break;
      }
      default:
        break;
    }
    return opening != Opening::kWaiting;
  });

  if (opening != Opening::kReady) {
    // Also ends what a redirect queued in its place.
    clear_picture();
    throw RuntimeError(failure);
  }
  rendered_ = true;
}

void MpvGraph::Run() {
  require_file();
  session_->set_paused(false);
  if (MpvVideoWindow* window = own_window(); window != nullptr && !window->is_visible()) {
    place_window();
    window->show();
  }
  if (!running_logged_) {
    running_logged_ = true;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        MpvSession::Clock::now() - render_called_);
    qCInfo(media_log, "render to running %lld ms: %s", static_cast<long long>(elapsed.count()),
           qUtf8Printable(rendered_path_));
  }
}

void MpvGraph::Pause() {
  require_file();
  session_->set_paused(true);
}

double MpvGraph::CurrentPosition() const {
  require_file();
  // At the end the last frame stays up and its own time lags the length by a frame; a graph
  // that has played to its end stands at its end.
  if (session_->get_flag("eof-reached")) {
    return Duration();
  }
  return session_->get_double("time-pos", 0.0);
}

void MpvGraph::put_CurrentPosition(double seconds) {
  require_file();
  session_->seek_exact(seconds < 0.0 ? 0.0 : seconds);
  session_->pump_until(open_deadline(), [](const mpv_event& event) {
    return event.event_id == MPV_EVENT_PLAYBACK_RESTART;
  });
}

double MpvGraph::Duration() const {
  require_file();
  return session_->get_double("duration", 0.0);
}

ports::Completion MpvGraph::WaitForCompletion(int timeout_ms) {
  if (!owns_file()) {
    return ports::Completion::kTimedOut;
  }
  const auto deadline = MpvSession::Clock::now() + std::chrono::milliseconds(timeout_ms);
  session_->drain();
  if (session_->get_flag("eof-reached")) {
    return ports::Completion::kComplete;
  }
  // eof-reached is observed: its change wakes the wait.
  const bool complete = session_->pump_until(
      deadline, [this](const mpv_event&) { return session_->get_flag("eof-reached"); });
  return complete ? ports::Completion::kComplete : ports::Completion::kTimedOut;
}

void MpvGraph::place_window() {
  if (MpvVideoWindow* window = own_window()) {
    window->set_geometry(QRect(left_, top_, width_, height_));
  }
}

void MpvGraph::put_Left(int left_px) {
  left_ = left_px;
  place_window();
}

void MpvGraph::put_Top(int top_px) {
  top_ = top_px;
  place_window();
}

void MpvGraph::put_Width(int width_px) {
  width_ = width_px;
  place_window();
}

void MpvGraph::put_Height(int height_px) {
  height_ = height_px;
  place_window();
}

void MpvGraph::put_Caption(const QString& caption) {
  caption_ = caption;
  if (MpvVideoWindow* window = own_window()) {
    window->set_title(caption);
  }
}

void MpvGraph::SetWindowForeground(std::int16_t focus) {
  MpvVideoWindow* window = own_window();
  if (window == nullptr) {
    return;
  }
  if (!window->is_visible()) {
    place_window();
    window->show();
  }
  window->raise();
  if (focus != 0) {
    window->activate();
  }
}

std::int32_t MpvGraph::hwnd() const {
  const MpvVideoWindow* window = session_->window();
  return window != nullptr ? static_cast<std::int32_t>(window->id()) : 0;
}

}  // namespace vantora::platform
