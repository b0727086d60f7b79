#include "core/filler/filler.h"

#include <optional>

#include "base/object_ref.h"
#include "core/ads/slot_search.h"
#include "core/database/columns.h"
#include "core/filler/filler_choice.h"
#include "core/media/interrupted_programme.h"
#include "core/media/movie_segment.h"
#include "core/media/run_movie.h"
#include "core/scheduler/playlist_cursor.h"
#include "core/scheduler/schedule_clock.h"
#include "core/shell/file_lists.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

// Lists a folder into File1; false when it cannot be listed. Once a stretch without clips has
// been logged, a folder that cannot be listed is part of that same stretch: logging it on every
// tick of the filler timer would only alternate with the timer's own errors and defeat the log's
// one-line-per-run rule (a channel without its folders wrote hundreds of thousands of lines a day).
//
// A folder that cannot be listed counts as empty. File1 is shared with the news and emergency
// breaks, and a file list box that fails to change folder keeps its old listing: left as it was,
// the last news or emergency clips would play as filler.
bool set_file_list_path(Player& p, Procedure& proc, const QString& folder) {
  auto list = [&] { file_lists::set_path(p.form.File1, p.files, folder); };
  bool listed = false;
  if (p.state.filler.FillerNoClipLogged == kTrue) {
    Procedure reported(p.errors, proc.label(), OnError::kDropAndGoOn);
    listed = reported(list);
  } else {
    listed = proc(list);
  }
  if (!listed) {
    p.form.File1.show_listing(folder, {});
  }
  return listed;
}

// Points File1 at the chosen folder, or at the default one when the chosen folder cannot be
// listed or holds no file.
void point_file_list(Player& p, Procedure& proc, const std::optional<QString>& chosen) {
  forms::FileListBox& file1 = p.form.File1;
  const QString& fallback = p.state.filler.FillerFolder;
  if (chosen) {
    if (!set_file_list_path(p, proc, *chosen)) {
      set_file_list_path(p, proc, fallback);
      return;
    }
  } else {
    set_file_list_path(p, proc, fallback);
    return;
  }
  if (file1.ListCount() == 0 && file1.Path() != fallback) {
    set_file_list_path(p, proc, fallback);
  }
}

// A new cycle starts when the list is used up or the folder changed.
void refill_clip_list(Player& p) {
  forms::FileListBox& file1 = p.form.File1;
  forms::ListBox& list = p.form.FillerList;
  if (list.ListCount() != 0 && file1.Path() == p.state.filler.FillerListFolder) {
    return;
  }
  list.Clear();
  for (int i = 0; i < file1.ListCount(); ++i) {
    list.AddItem(file1.List(i));
  }
  p.state.filler.FillerListFolder = file1.Path();
}

// Draws the next clip into ClipFile; false when there is none to draw.
bool pick_clip(Player& p, Procedure& proc) {
  forms::ListBox& list = p.form.FillerList;
  PlayerState& s = p.state;
  if (list.ListCount() == 0) {
    // Logged once for the whole stretch without clips, not on every tick of the filler timer.
    if (s.filler.FillerNoClipLogged == kFalse) {
      s.filler.FillerNoClipLogged = kTrue;
      proc.raise(RuntimeError(
          err::kFileNotFound,
          QStringLiteral("No filler clip in \"%1\"")
              .arg(p.form.File1.Path().isEmpty() ? s.filler.FillerFolder : p.form.File1.Path())));
    }
    return false;
  }
  s.filler.FillerNoClipLogged = kFalse;
  const int index = filler::pick_index(list.ListCount(), filler::draw_from_clock(p.runtime));
  proc([&] {
    s.filler.ClipFile = file_lists::join(p.form.File1.Path(), list.List(index));
    list.RemoveItem(index);
  });
  p.runtime.yield();
  p.runtime.yield();
  return true;
}

void start_show(Player& p) {
  p.state.filler.FillerMode = kFalse;
  p.form.FillerTimer.Enabled = false;
  Run_MovieFile(p);
}

}  // namespace

void Run_Filler(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Run_Filler()"));
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;

  f.T_Time.Visible = false;
  f.T_Number.Visible = false;
  f.WnW.Visible = false;
  proc([&] { p.data.rsplaylist.requery(); });
  Get_Next_Slot(p);

  const std::optional<QString> folder = filler::choose_folder(p, proc);
  point_file_list(p, proc, folder);

  f.Text3.Text = QStringLiteral("FILLER");
  s.breaks.AdFlag = kFalse;
  s.filler.FillerMode = kTrue;
  f.T_Movie.Enabled = false;
  f.AdTimer.Enabled = false;

  refill_clip_list(p);
  const bool picked = pick_clip(p, proc);
  // FillerMode is already set, so news that began in the folder search or the draw comes back to
  // filler when it ends.
  if (Programme_Interrupted(p)) {
    return;
  }
  if (!picked) {
    // Nothing renders; the filler timer keeps watching for the show and for clips to appear, and
    // the ad timer keeps serving the clipboard and the window order through the whole stretch.
    f.FillerTimer.Enabled = true;
    f.AdTimer.Enabled = true;
    return;
  }

  f.Text3.Text = s.filler.ClipFile;
  Run_FillerFile(p);
  if (Programme_Interrupted(p)) {
    return;
  }

  proc([&] {
    f.Text2.Text =
        QString::number(values::int_part(object(s.graph.m_objMediaPosition).Duration()), 'f', 0);
  });
  f.FillerTimer.Enabled = true;
  f.AdTimer.Enabled = true;
}

void Run_FillerFile(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Run_FillerFile()"));
  forms::PlayerForm& f = p.form;

  Run_Movie(p);
  f.LogoTimer.Enabled = true;
  Hand_Screen_To_Video(p, proc);
  AD_Slot_Search(p);
  if (Programme_Interrupted(p)) {
    return;
  }
  f.FillerTimer.Enabled = true;
}

void FillerTimer_Timer(Player& p) {
  Procedure proc(p.errors, QStringLiteral("FillerTimer_Timer()"));
  PlayerState& s = p.state;
  if (s.transport.Paused == kTrue || s.transport.Halted == kTrue) {
    return;
  }

  if (s.cursor.EndOfList == kFalse) {
    // A break item due at the very moment of the show start puts the show back by 10 s.
    proc([&] {
      db::Recordset& ad_temp = p.data.rsADTemp;
      if (ad_temp.record_count() > 0 && !ad_temp.bof() && !ad_temp.eof() &&
          schedule_clock::ms(values::to_date_time(ad_temp.field(
              db::col::ad_temp::kSegStartTime))) == schedule_clock::ms(s.row.SegStart)) {
        s.row.SegStart = date_time::add_seconds(s.row.SegStart, 10);
      }
    });
    if (schedule_clock::now_ms(p.runtime) >= schedule_clock::ms(s.row.SegStart)) {
      start_show(p);
      return;
    }
  }

  if (s.graph.ClipPlaying == kTrue) {
    return;
  }

  db::Recordset& playlist = p.data.rsplaylist;
  proc([&] { playlist.requery(); });
  s.cursor.RewindList = kTrue;
  s.cursor.EndOfList = kFalse;
  std::optional<db::Bookmark> last_found;
  while (s.cursor.EndOfList == kFalse) {
    p.runtime.yield();
    Get_Next_Slot(p);
    s.cursor.RewindList = kFalse;
    if (s.cursor.EndOfList == kTrue) {
      break;
    }
    const std::int64_t now_ms = schedule_clock::now_ms(p.runtime);
    if (now_ms < schedule_clock::ms(s.row.SegStart)) {
      break;
    }
    const std::int64_t tolerance_ms = std::int64_t{s.settings.StartTolerance} * 1000;
    if (s.row.ShowStartRow == kTrue &&
        now_ms <= schedule_clock::ms(s.row.SegStart) + tolerance_ms &&
        now_ms < schedule_clock::ms(s.row.SegEnd) + tolerance_ms) {
      p.form.Text3.Text = QStringLiteral("Movie");
      start_show(p);
      return;
    }
    // The search always finds the first show still due, so finding the same row again means
    // it can never start (it ends before it begins): play filler instead of searching forever.
    std::optional<db::Bookmark> found;
    proc([&] { found = playlist.bookmark(); });
    if (found && found == last_found) {
      break;
    }
    last_found = found;
  }

  s.filler.FillerMode = kTrue;
  Run_Filler(p);
}

}  // namespace vantora
