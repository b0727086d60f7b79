#include "core/scheduler/termination_check.h"

#include <optional>

#include "core/database/columns.h"
#include "core/scheduler/schedule_clock.h"
#include "core/scheduler/schedule_row.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

using schedule_row::Load;

// Seconds from `from` to `to` on the millisecond time line.
double seconds_from(DateTime from, DateTime to) {
  return static_cast<double>(schedule_clock::ms(to) - schedule_clock::ms(from)) / 1000.0;
}

// Started, and stopped more than 5 s before its end. A Null offset makes it no candidate.
bool is_candidate(const PlayerState& s, const db::Recordset& rs) {
  if (s.row.SegStarted != kTrue) {
    return false;
  }
  const QVariant end_offset = rs.field(db::col::playlist::kEndOffset);
  const QVariant saved_position = rs.field(db::col::playlist::kSavedPosition);
  if (values::is_null(end_offset) || values::is_null(saved_position)) {
    return false;
  }
  return values::to_double(end_offset) > values::to_double(saved_position) + 5.0;
}

// Seconds of the segment played by the saved point. The saved point is a media position, which
// begins at the segment's start offset, not at zero: the second part of a split movie stopped at
// 1000 s from an offset of 900 s had played 100 s, not 1000. A Null offset plays from the start.
double seconds_played(const db::Recordset& rs, double media_position_s) {
  const QVariant start_offset = rs.field(db::col::playlist::kStartOffset);
  const double offset_s = values::is_null(start_offset) ? 0.0 : values::to_double(start_offset);
  return media_position_s - offset_s;
}

// The show can still be resumed: the time it had played plus the tolerance is not behind the
// clock, and the row did begin (a clock set back makes a started row lie in the future).
bool is_resumable(const PlayerState& s, const db::Recordset& rs, std::int64_t now_ms) {
  const double saved_position = values::to_double(rs.field(db::col::playlist::kSavedPosition));
  const std::int64_t start_ms = schedule_clock::ms(s.row.SegStart);
  const std::int64_t latest_ms =
      start_ms +
      schedule_clock::seconds_to_ms(seconds_played(rs, saved_position) + s.settings.StartTolerance);
  return latest_ms >= now_ms && now_ms > start_ms;
}

// The resume point replaces the segment's own start offset (its column is not read).
void load_interrupted_row(PlayerState& s, const db::Recordset& rs, Procedure& proc) {
  schedule_row::load(s, rs, proc, {Load::kMediaFile, Load::kResumeOffset});
  schedule_row::load(s, rs, proc, schedule_row::kPlayColumns);
}

void note_show_end(PlayerState& s, const db::Recordset& rs, Procedure& proc) {
  proc([&] {
    if (values::is_true(rs.field(db::col::playlist::kShowEnd))) {
      s.recovery.ShowEndTime = values::to_date_time(rs.field(db::col::playlist::kSegEndTime));
    }
  });
}

// Measures the end of the interrupted show and the start of the next one, then puts the cursor
// back on the interrupted row.
void measure_gap(Player& p, Procedure& proc) {
  db::Recordset& rs = p.data.rsplaylist;
  PlayerState& s = p.state;

  std::optional<db::Bookmark> interrupted;
  proc([&] { interrupted = rs.bookmark(); });
  auto back_to_interrupted = [&] {
    if (interrupted) {
      proc([&] { rs.go_to(*interrupted); });
    }
  };

  // How late the resume point plays against the schedule, measured as the time into the segment
  // (`StartOffset` holds the resume point as a media position by now; an offset that cannot be
  // read counts as none, like a Null one).
  double resume_played_s = s.row.StartOffset;
  proc([&] { resume_played_s = seconds_played(rs, s.row.StartOffset); });
  proc([&] {
    s.recovery.ResumeLag = seconds_from(date_time::add_seconds(s.row.SegStart, resume_played_s),
                                        schedule_clock::now(p.runtime));
  });

  // A one-row show ends on its own row: its end is noted before the row is passed over as the
  // start of the show, not of the next one.
  note_show_end(s, rs, proc);
  proc([&] {
    if (values::is_true(rs.field(db::col::playlist::kShowStart))) {
      rs.move_next();
    }
  });

  // The next show's first row is not read for an end: a one-row next show would otherwise end
  // the interrupted show at its own end.
  bool next_show_found = false;
  while (!at_end(proc, rs, Unreadable::kAsTrue)) {
    p.runtime.yield();
    // A row whose flag cannot be read (deleted meanwhile) is no show start.
    if (proc.test([&] { return values::is_true(rs.field(db::col::playlist::kShowStart)); },
                  Unreadable::kAsFalse)) {
      next_show_found = true;
      break;
    }
    note_show_end(s, rs, proc);
    proc([&] { rs.move_next(); });
  }

  if (!next_show_found) {
    s.recovery.GapToNextShow = 9999.0;
    back_to_interrupted();
    return;
  }
  proc([&] {
    s.recovery.NextShowStart = values::to_date_time(rs.field(db::col::playlist::kSegStartTime));
  });
  s.recovery.GapToNextShow = seconds_from(s.recovery.ShowEndTime, s.recovery.NextShowStart);
  back_to_interrupted();
}

}  // namespace

void Is_Terminated(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Is_Terminated()"));
  db::Recordset& rs = p.data.rsplaylist;
  PlayerState& s = p.state;

  proc([&] {
    if (!rs.bof()) {
      rs.move_first();
    }
  });
  s.recovery.Terminated = kFalse;

  const std::int64_t now_ms = schedule_clock::now_ms(p.runtime);
  bool found = false;
  while (!at_end(proc, rs, Unreadable::kAsTrue)) {
    p.runtime.yield();
    proc(
        [&] { s.row.SegStart = values::to_date_time(rs.field(db::col::playlist::kSegStartTime)); });
    proc([&] { s.row.SegEnd = values::to_date_time(rs.field(db::col::playlist::kSegEndTime)); });
    schedule_row::load(s, rs, proc,
                       {Load::kSegStart, Load::kSegEnd, Load::kSegStarted, Load::kSegDoneScan});
    bool interrupted = false;
    proc([&] { interrupted = is_candidate(s, rs) && is_resumable(s, rs, now_ms); });
    if (interrupted) {
      found = true;
      break;
    }
    proc([&] { rs.move_next(); });
  }
  if (!found) {
    return;
  }

  s.recovery.Terminated = kTrue;
  load_interrupted_row(s, rs, proc);
  measure_gap(p, proc);
}

}  // namespace vantora
