#include "platform/mpv/mpv_session.h"

#include <mpv/client.h>

#include <QByteArray>
#include <clocale>
#include <string>

#include "base/errors.h"

namespace vantora::platform {

namespace {

constexpr std::uint64_t kEofObserverId = 1;

RuntimeError engine_error(const QString& what, int mpv_status) {
  return RuntimeError(err::kInternalError,
                      QStringLiteral("media engine: %1 (%2)")
                          .arg(what, QString::fromUtf8(mpv_error_string(mpv_status))));
}

}  // namespace

MpvSession::MpvSession(const MediaEngineOptions& options) : options_(options) {
  // libmpv refuses to start under a locale whose decimal mark is not '.', and Qt sets the
  // locale from the environment when the application object is made.
  std::setlocale(LC_NUMERIC, "C");
  mpv_ = mpv_create();
  if (mpv_ == nullptr) {
    throw RuntimeError(err::kInternalError, QStringLiteral("media engine: mpv_create failed"));
  }
  try {
    // An unattended player must not pick up a user's mpv configuration, scripts or keys.
    set_option("config", "no");
    set_option("load-scripts", "no");
    set_option("ytdl", "no");
    set_option("osc", "no");
    set_option("load-stats-overlay", "no");
    set_option("load-osd-console", "no");
    set_option("load-auto-profiles", "no");
    set_option("input-default-bindings", "no");
    set_option("input-vo-keyboard", "no");
    set_option("input-cursor", "no");
    set_option("input-terminal", "no");
    set_option("terminal", "no");
    set_option("osd-level", "0");
    set_option("resume-playback", "no");
    set_option("save-position-on-quit", "no");
    set_option("sub-auto", "no");
    set_option("audio-file-auto", "no");
    set_option("audio-display", "no");
    set_option("cursor-autohide", "always");
    set_option("idle", "yes");
    // The finished file keeps its last frame on screen and reports its end as a state.
    set_option("keep-open", "yes");
    set_option("hr-seek", "yes");
    set_option("pause", "yes");
    if (!options_.log_file.isEmpty()) {
      set_option("log-file", options_.log_file.toUtf8().constData());
    }
    if (options_.audio == AudioOutput::kNone) {
      // No audio track at all: the null audio output would report the end early.
      set_option("aid", "no");
    }
    if (options_.video == VideoOutput::kNone) {
      set_option("vo", "null");
      set_option("force-window", "no");
    } else {
      // Only outputs that draw into a window they are given: left to itself mpv may settle on
      // SDL where there is no OpenGL (under Xvfb, say), which ignores the window and opens its
      // own. x11 is the software fallback that works on any X server.
      set_option("vo", "gpu,xv,x11");
      // The video output stays up between files: torn down after one file and built again
      // for the next, it left a dead black child over the new one now and then.
      set_option("force-window", "yes");
      window_ = std::make_unique<MpvVideoWindow>();
      auto wid = static_cast<std::int64_t>(window_->id());
      const int status = mpv_set_option(mpv_, "wid", MPV_FORMAT_INT64, &wid);
      if (status < 0) {
        throw engine_error(QStringLiteral("wid"), status);
      }
    }
    if (const int status = mpv_initialize(mpv_); status < 0) {
      throw engine_error(QStringLiteral("initialize"), status);
    }
    mpv_observe_property(mpv_, kEofObserverId, "eof-reached", MPV_FORMAT_FLAG);
  } catch (...) {
    mpv_terminate_destroy(mpv_);
    throw;
  }
}

MpvSession::~MpvSession() {
  mpv_terminate_destroy(mpv_);
}

void MpvSession::set_option(const char* name, const char* value) {
  if (const int status = mpv_set_option_string(mpv_, name, value); status < 0) {
    throw engine_error(QString::fromLatin1(name), status);
  }
}

std::int64_t MpvSession::load_file(const QString& path) {
  const QByteArray utf8 = path.toUtf8();
  const char* args[] = {"loadfile", utf8.constData(), "replace", nullptr};
  mpv_node result{};
  if (const int status = mpv_command_ret(mpv_, args, &result); status < 0) {
    throw RuntimeError(err::kMediaCannotRender);
  }
  std::int64_t entry_id = -1;
  if (result.format == MPV_FORMAT_NODE_MAP) {
    for (int i = 0; i < result.u.list->num; ++i) {
      if (std::string(result.u.list->keys[i]) == "playlist_entry_id" &&
          result.u.list->values[i].format == MPV_FORMAT_INT64) {
        entry_id = result.u.list->values[i].u.int64;
      }
    }
  }
  mpv_free_node_contents(&result);
  return entry_id;
}

void MpvSession::stop() {
  const char* args[] = {"stop", nullptr};
  mpv_command(mpv_, args);
}

void MpvSession::seek_exact(double seconds) {
  const QByteArray target = QByteArray::number(seconds, 'f', 6);
  const char* args[] = {"seek", target.constData(), "absolute+exact", nullptr};
  if (mpv_command(mpv_, args) < 0) {
    throw RuntimeError(err::kMediaWrongState);
  }
}

void MpvSession::set_paused(bool paused) {
  int flag = paused ? 1 : 0;
  if (mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &flag) < 0) {
    throw RuntimeError(err::kMediaWrongState);
  }
}

double MpvSession::get_double(const char* property, double fallback) const {
  double value = 0.0;
  if (mpv_get_property(mpv_, property, MPV_FORMAT_DOUBLE, &value) < 0) {
    return fallback;
  }
  return value;
}

bool MpvSession::get_flag(const char* property) const {
  int flag = 0;
  if (mpv_get_property(mpv_, property, MPV_FORMAT_FLAG, &flag) < 0) {
    return false;
  }
  return flag != 0;
}

bool MpvSession::has_playable_track() const {
  mpv_node tracks{};
  if (mpv_get_property(mpv_, "track-list", MPV_FORMAT_NODE, &tracks) < 0) {
    return false;
  }
  bool playable = false;
  if (tracks.format == MPV_FORMAT_NODE_ARRAY) {
    for (int i = 0; i < tracks.u.list->num && !playable; ++i) {
      const mpv_node& track = tracks.u.list->values[i];
      if (track.format != MPV_FORMAT_NODE_MAP) {
        continue;
      }
      std::string type;
      bool image = false;
      for (int k = 0; k < track.u.list->num; ++k) {
        const std::string key = track.u.list->keys[k];
        const mpv_node& value = track.u.list->values[k];
        if (key == "type" && value.format == MPV_FORMAT_STRING) {
          type = value.u.string;
        } else if (key == "image" && value.format == MPV_FORMAT_FLAG) {
          image = value.u.flag != 0;
        }
      }
      playable = type == "audio" || (type == "video" && !image);
    }
  }
  mpv_free_node_contents(&tracks);
  return playable;
}

bool MpvSession::pump_until(Clock::time_point deadline,
                            const std::function<bool(const mpv_event&)>& handler) {
  for (;;) {
    const auto left = std::chrono::duration<double>(deadline - Clock::now()).count();
    const mpv_event* event = mpv_wait_event(mpv_, left > 0.0 ? left : 0.0);
    if (event->event_id == MPV_EVENT_NONE) {
      if (left <= 0.0) {
        return false;
      }
      continue;
    }
    if (handler(*event)) {
      return true;
    }
  }
}

void MpvSession::drain() {
  while (mpv_wait_event(mpv_, 0)->event_id != MPV_EVENT_NONE) {
  }
}

}  // namespace vantora::platform
