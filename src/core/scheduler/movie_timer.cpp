#include "core/scheduler/movie_timer.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "base/object_ref.h"
#include "core/database/columns.h"
#include "core/filler/filler.h"
#include "core/filler/play_log.h"
#include "core/media/movie_segment.h"
#include "core/news/lottery_display.h"
#include "core/news/lottery_mask.h"
#include "core/scheduler/playlist_cursor.h"
#include "core/scheduler/schedule_clock.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

// A show that is due this soon starts at once rather than after a filler clip.
constexpr std::int64_t kFillerGap_s = 10;
constexpr int kStatusFiles = 3;
constexpr int kCaptionShownTick = 10;
constexpr int kCaptionHiddenTick = 30;
constexpr int kLotteryRevealedFor_s = 15;
constexpr int kLotteryMaskedAfter_s = 105;

void save_position(Player& p, Procedure& proc) {
  db::Recordset& playlist = p.data.rsplaylist;
  proc([&] {
    playlist.set_field(db::col::playlist::kSavedPosition,
                       object(p.state.graph.m_objMediaPosition).CurrentPosition());
  });
  proc([&] { playlist.update(); });
}

// After a show's last segment: the next show now when it is close (or asks for it), filler until
// it when it is 10 s or more away, filler when there is none.
void go_on_after_show(Player& p, Procedure& proc) {
  PlayerState& s = p.state;
  Get_Next_Slot(p);
  if (s.cursor.NoNextShow == kTrue) {
    s.filler.FillerMode = kTrue;
    Run_Filler(p);
    return;
  }
  bool start_now = false;
  proc([&] { start_now = values::is_true(p.data.rsplaylist.field(db::col::playlist::kStartNow)); });
  if (start_now) {
    Run_MovieFile(p);
    return;
  }
  if (date_time::seconds_between(schedule_clock::now(p.runtime), s.row.SegStart) >= kFillerGap_s) {
    s.filler.FillerMode = kTrue;
    Run_Filler(p);
  } else {
    Run_MovieFile(p);
  }
}

void go_on_after_clip(Player& p, Procedure& proc) {
  db::Recordset& playlist = p.data.rsplaylist;
  proc([&] { playlist.set_field(db::col::playlist::kCompleted, QVariant::fromValue(kTrue)); });
  proc([&] { playlist.update(); });
  Played_entry(p);
  if (p.state.row.ShowEndRow != kTrue) {
    Get_Next_Segment(p);
    Run_MovieFile(p);
  } else {
    go_on_after_show(p, proc);
  }
}

void show_caption(Player& p) {
  forms::PlayerForm& f = p.form;
  SavedProgramme& saved = p.state.saved;
  f.Label1.Caption = p.state.row.SegCaption;
  f.Picture1.Width = f.Label1.Width + 15;
  f.Picture1.Top = 80;
  f.Label1.Top = 8;
  f.Picture1.Left = p.module1.PanelLeft == kTrue ? 72 : 450 - f.Picture1.Width;
  f.Label1.Left = 8;
  f.Picture1.Visible = true;
  f.Label1.Visible = true;

  saved.LogoWasVisible = to_bool16(f.Logo.Visible);
  f.Logo.Visible = false;
  saved.TimeWasVisible = to_bool16(f.T_Time.Visible);
  f.T_Time.Visible = false;
  saved.NumberWasVisible = to_bool16(f.T_Number.Visible);
  f.T_Number.Visible = false;
  f.WnW.Visible = false;
}

// Only the first overlay remembered comes back: the caption took the place of one of them.
void hide_caption(Player& p) {
  forms::PlayerForm& f = p.form;
  const SavedProgramme& saved = p.state.saved;
  f.Picture1.Visible = false;
  f.Label1.Visible = false;
  if (saved.LogoWasVisible == kTrue) {
    f.Logo.Visible = true;
  } else if (saved.TimeWasVisible == kTrue) {
    f.T_Time.Visible = true;
  } else if (saved.NumberWasVisible == kTrue) {
    f.T_Number.Visible = true;
    f.WnW.Visible = true;
  }
}

void caption_cycle(Player& p, Procedure& proc) {
  PlayerState& s = p.state;
  if (s.captions.CaptionCycle != kTrue) {
    return;
  }
  const db::Recordset& ini = p.data.rsPlayer_INI;
  for (int i = 0; i < kStatusFiles; ++i) {
    QVariant path;
    proc([&] { path = ini.field(db::col::player_ini::kStatusFile1 + i); });
    if (!values::is_null(path)) {
      proc([&] {
        Write_Status_File(values::to_text(path), s.row.SegCaption, s.captions.status_files);
      });
    }
  }

  bool caption_shown = false;
  proc([&] { caption_shown = values::is_true(ini.field(db::col::player_ini::kCaptionEnabled)); });
  if (!caption_shown) {
    return;
  }
  ++s.captions.CaptionTicks;
  if (s.captions.CaptionTicks == kCaptionShownTick && s.row.HideCaption == kFalse &&
      s.breaks.AdFlag == kFalse && s.filler.FillerMode == kFalse) {
    show_caption(p);
  }
  if (s.captions.CaptionTicks == kCaptionHiddenTick) {
    hide_caption(p);
    s.captions.CaptionCycle = kFalse;
    s.captions.CaptionTicks = 0;
  }
}

// The first tick after a break reveals a digit in the two stretches of the hour the lottery
// airs in.
void lottery_moments(Player& p) {
  PlayerState& s = p.state;
  if (s.breaks.AdPlaying != kTrue) {
    return;
  }
  s.breaks.AdPlaying = kFalse;
  if (s.lottery.LotteryMode != kTrue) {
    return;
  }
  const int minute = date_time::to_qdatetime(p.runtime.now()).time().minute();
  if (minute > 10 && minute < 20) {
    Show_Lottery(p);
  }
  if (minute > 40 && minute < 50) {
    Show_Lottery(p);
  }
}

void lottery_masking(Player& p) {
  forms::PlayerForm& f = p.form;
  LotteryState& lottery = p.state.lottery;
  if (lottery.LotteryShowing != kTrue) {
    return;
  }
  const std::int64_t shown_s =
      date_time::seconds_between(lottery.LotteryShownAt, schedule_clock::now(p.runtime));
  if (shown_s > kLotteryRevealedFor_s) {
    f.WnW.Visible = true;
    f.T_Number.Visible = true;
  }
  if (shown_s > kLotteryMaskedAfter_s) {
    lottery.LotteryShowing = kFalse;
    f.T_Number.Caption = lottery::mask_text(lottery.LotteryCount);
  }
}

// The file's size and time as the file system has them now; none when it is gone.
std::optional<StatusFileStamp> look_at(const QByteArray& native_path) {
  const std::filesystem::path file(native_path.toStdString());
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) {
    return std::nullopt;
  }
  const std::filesystem::file_time_type modified = std::filesystem::last_write_time(file, error);
  if (error) {
    return std::nullopt;
  }
  StatusFileStamp stamp;
  stamp.size = static_cast<std::int64_t>(size);
  stamp.modified_ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
  return stamp;
}

bool unchanged_since(const StatusFileStamp& seen, const std::optional<StatusFileStamp>& now) {
  return now && now->size == seen.size && now->modified_ns == seen.modified_ns;
}

void remember(std::map<QString, StatusFileStamp>& stamps, const QString& path,
              const QByteArray& native_path, const QByteArray& bytes) {
  std::optional<StatusFileStamp> stamp = look_at(native_path);
  if (!stamp) {
    stamps.erase(path);
    return;
  }
  stamp->bytes = bytes;
  stamps[path] = std::move(*stamp);
}

}  // namespace

void Write_Status_File(const QString& path, const QString& line,
                       std::map<QString, StatusFileStamp>& stamps) {
  if (path.isEmpty()) {
    throw RuntimeError(err::kBadFileNameOrNumber);
  }
  const auto cannot_write = [&path](const QString& reason) {
    const bool folder_exists = QFileInfo(path).absoluteDir().exists();
    return RuntimeError(
        folder_exists ? err::kPathFileAccessError : err::kPathNotFound,
        QStringLiteral("Status file \"%1\" cannot be written: %2").arg(path, reason));
  };
  const QByteArray bytes = (line + QStringLiteral("\r\n")).toLocal8Bit();
  const QByteArray native_path = QFile::encodeName(path);
  // A caption cycle brings the same line every tick: a file that holds it already is left as it
  // is, which spares the disk a new file and a rename (which makes the file system write the
  // new file's data out at once) six times a second. What this player wrote last and nobody
  // touched since is known without reading it; any other file is read to compare.
  if (const auto last = stamps.find(path); last != stamps.end() && last->second.bytes == bytes &&
                                           unchanged_since(last->second, look_at(native_path))) {
    return;
  }
  {
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.size() == bytes.size() &&
        current.readAll() == bytes) {
      current.close();
      remember(stamps, path, native_path, bytes);
      return;
    }
  }
  // The new line goes to a file beside the old one, which then takes its place in one rename:
  // a reader sees the old line or the new. Nothing is forced to the disk: the line is rewritten
  // within seconds, and a flush per file would cost the tick more than everything else it does.
  const QString fresh = path + QStringLiteral(".new");
  QFile file(fresh);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    throw cannot_write(file.errorString());
  }
  const bool written = file.write(bytes) == bytes.size();
  file.close();
  if (!written || std::rename(QFile::encodeName(fresh).constData(), native_path.constData()) != 0) {
    const QString reason =
        written ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
    QFile::remove(fresh);
    throw cannot_write(reason);
  }
  remember(stamps, path, native_path, bytes);
}

void T_Movie_Timer(Player& p) {
  PlayerState& s = p.state;
  if (s.transport.Paused == kTrue) {
    return;
  }
  Procedure proc(p.errors, QStringLiteral("T_Movie_Timer()"));
  if (s.transport.Halted == kTrue) {
    return;
  }
  save_position(p, proc);
  if (s.graph.ClipPlaying == kFalse) {
    go_on_after_clip(p, proc);
  }
  caption_cycle(p, proc);
  lottery_moments(p);
  lottery_masking(p);
}

}  // namespace vantora
