#include "core/scheduler/show_start.h"

#include "core/database/columns.h"
#include "core/designer/designer_link.h"
#include "core/filler/filler.h"
#include "core/media/movie_segment.h"
#include "core/scheduler/playlist_cursor.h"
#include "core/scheduler/schedule_clock.h"
#include "core/scheduler/termination_check.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

void yield_times(ports::Runtime& runtime, int count) {
  for (int i = 0; i < count; ++i) {
    runtime.yield();
  }
}

// Sets the lottery counter back to zero, adding its row when the table is empty.
void Reset_Lottery_Counter(Player& p, Procedure& proc) {
  db::Recordset& rs = p.data.rsLottery;
  bool empty = false;
  proc([&] { empty = rs.bof(); });
  if (empty) {
    proc([&] { rs.add_new(); });
    proc([&] { rs.set_field(db::col::lottery::kCounter, values::number_text(0)); });
  } else {
    proc([&] { rs.set_field(db::col::lottery::kCounter, QStringLiteral("0")); });
  }
  proc([&] { rs.update(); });
}

// The designer's wake-up before anything is decided. The keys would once have gone to whatever
// window was in front without a word; a designer that cannot take them now must not cost the day
// its first show, so a failure here is dropped, not logged.
void wake_designer(Player& p) {
  Procedure wake(p.errors, QStringLiteral("play_Click()"), OnError::kDropAndGoOn);
  ports::Runtime& rt = p.runtime;
  rt.yield();
  wake([&] { designer::Send_Keys(p.desktop, QStringLiteral("%y")); });
  rt.yield();
  rt.sleep_ms(500);
  yield_times(rt, 5);
  rt.sleep_ms(1000);
}

// Steps on through the playlist to the first show still to begin.
enum class From { kHere, kTop };
bool find_future_show(Player& p, From from) {
  PlayerState& s = p.state;
  if (from == From::kTop) {
    s.cursor.RewindList = kTrue;
  }
  while (s.cursor.EndOfList == kFalse) {
    p.runtime.yield();
    Get_Next_Segment(p);
    if (from == From::kTop) {
      s.cursor.RewindList = kFalse;
    }
    if (s.cursor.EndOfList == kTrue) {
      break;
    }
    if (schedule_clock::ms(s.row.SegStart) >= schedule_clock::now_ms(p.runtime) &&
        s.row.ShowStartRow == kTrue) {
      return true;
    }
  }
  return false;
}

// The word the day starts with, on the panel and in the record of what aired.
void announce(Player& p, const QString& outcome) {
  p.form.Text3.Text = outcome;
  p.playout.record(QStringLiteral("show"),
                   {{QStringLiteral("outcome"), outcome},
                    {QStringLiteral("file"), p.state.row.MediaFile},
                    {QStringLiteral("scheduled"), QVariant::fromValue(p.state.row.SegStart)}});
}

bool start_window_open(const Player& p) {
  const PlayerState& s = p.state;
  const std::int64_t now_ms = schedule_clock::now_ms(p.runtime);
  const std::int64_t start_ms = schedule_clock::ms(s.row.SegStart);
  return now_ms >= start_ms &&
         now_ms <= start_ms + std::int64_t{s.settings.StartTolerance} * 1000 &&
         now_ms < schedule_clock::ms(s.row.SegEnd) && s.row.ShowStartRow == kTrue;
}

void resume_or_give_up(Player& p, Procedure& proc) {
  PlayerState& s = p.state;
  if (static_cast<double>(s.settings.StartTolerance) + s.recovery.GapToNextShow <=
      s.recovery.ResumeLag) {
    Reset_Lottery_Counter(p, proc);
    // From the interrupted row on, without rewinding.
    find_future_show(p, From::kHere);
    announce(p, QStringLiteral("UnRecoverable"));
    Run_Filler(p);
    return;
  }
  Run_MovieFile(p);
  announce(p, QStringLiteral("Intrupted"));
}

void start_due_show_or_filler(Player& p, Procedure& proc) {
  PlayerState& s = p.state;
  Reset_Lottery_Counter(p, proc);
  s.cursor.RewindList = kTrue;
  while (s.cursor.EndOfList == kFalse) {
    p.runtime.yield();
    Get_Next_Segment(p);
    s.cursor.RewindList = kFalse;
    if (s.cursor.EndOfList == kTrue) {
      break;
    }
    if (start_window_open(p)) {
      announce(p, QStringLiteral("Normal"));
      Run_MovieFile(p);
      return;
    }
  }

  announce(p, QStringLiteral("UnIntrupted"));
  Run_Filler(p);

  if (s.cursor.EndOfList != kTrue) {
    return;
  }
  s.cursor.EndOfList = kFalse;
  if (find_future_show(p, From::kTop)) {
    return;
  }
  // No show lies ahead: a start no clock of the day reaches.
  s.row.SegStart = date_time::from_parts(2110, 6, 6);
}

}  // namespace

void play_Click(Player& p) {
  wake_designer(p);
  Procedure proc(p.errors, QStringLiteral("play_Click()"));

  Is_Terminated(p);
  if (p.state.recovery.Terminated == kTrue) {
    resume_or_give_up(p, proc);
  } else {
    start_due_show_or_filler(p, proc);
  }
}

}  // namespace vantora
