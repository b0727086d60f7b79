#include "core/ads/ad_break.h"

#include "core/ads/ad_playback.h"
#include "core/database/columns.h"
#include "core/designer/designer_link.h"
#include "core/filler/filler.h"
#include "core/media/interrupted_programme.h"
#include "core/media/movie_segment.h"
#include "core/scheduler/schedule_clock.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

// A show whose start passed less than this long ago while a break played over filler still
// starts after the break; an older one has been given up for filler.
constexpr std::int64_t kLateShowStart_ms = 300'000;

// Whole seconds on the clock from `from` to `to`, negative when `to` has passed.
std::int64_t whole_seconds_between(DateTime from, DateTime to) {
  auto second = [](DateTime t) {
    const std::int64_t ms = schedule_clock::ms(t);
    return ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
  };
  return second(to) - second(from);
}

// Starts the item AD_Temp stands on and steps past it; the break goes on whatever fails.
void play_current_item(Player& p, Procedure& proc) {
  Get_Ad(p);
  Run_AdFile(p);
  proc([&] { p.data.rsADTemp.move_next(); });
}

// The designer shows its break opener while the break comes near: one "P" per tick.
void warn_designer(Player& p, Procedure& tick) {
  tick([&] { designer::Activate(p.desktop); });
  p.runtime.sleep_ms(250);
  p.runtime.yield();
  p.runtime.yield();
  tick([&] { designer::Send_Keys(p.desktop, QStringLiteral("P")); });
  p.runtime.yield();
  p.runtime.yield();
  p.runtime.sleep_ms(250);
}

void step_outside_break(Player& p, Procedure& tick) {
  db::Recordset& ad_temp = p.data.rsADTemp;
  if (!tick.test([&] { return ad_temp.record_count() > 0; }, Unreadable::kAsFalse)) {
    return;
  }
  tick([&] { ad_temp.move_first(); });

  const bool due = tick.test(
      [&] {
        const DateTime item_start =
            values::to_date_time(ad_temp.field(db::col::ad_temp::kSegStartTime));
        return schedule_clock::now_ms(p.runtime) >= schedule_clock::ms(item_start);
      },
      Unreadable::kAsFalse);
  if (due) {
    Start_Break(p, tick);
  }

  // Right after the first item started, the second one's time has passed as well: the designer
  // hears "P" for it straight after the first item's keys.
  if (at_end(tick, ad_temp, Unreadable::kAsTrue)) {
    return;
  }
  const bool near = tick.test(
      [&] {
        const DateTime item_start =
            values::to_date_time(ad_temp.field(db::col::ad_temp::kSegStartTime));
        return whole_seconds_between(schedule_clock::now(p.runtime), item_start) <
               p.state.settings.BreakLeadTime;
      },
      Unreadable::kAsFalse);
  if (near) {
    warn_designer(p, tick);
  }
}

// The break is over: the interrupted programme comes back, the movie ten seconds before where it
// was cut, or after filler the show that fell due during the break, or more filler.
void end_break(Player& p, Procedure& tick) {
  PlayerState& s = p.state;
  s.breaks.InAdBreak = kFalse;
  p.playout.record(QStringLiteral("break"), {{QStringLiteral("edge"), QStringLiteral("end")}});
  Restore_Programme(p, tick);
  if (s.filler.FillerMode == kFalse) {
    Run_MovieFile(p);
    return;
  }
  const std::int64_t now_ms = schedule_clock::now_ms(p.runtime);
  const std::int64_t show_ms = schedule_clock::ms(s.row.SegStart);
  if (show_ms >= now_ms - kLateShowStart_ms && now_ms > show_ms) {
    Run_MovieFile(p);
  } else {
    Run_Filler(p);
  }
}

}  // namespace

void Start_Break(Player& p, Procedure& proc) {
  Save_Programme(p, proc);
  play_current_item(p, proc);
}

BreakStep Run_Break_Step(Player& p) {
  // The tick's own statements, under the tick's label and its policy.
  Procedure tick(p.errors, QStringLiteral("AdTimer_Timer()"), OnError::kWaitTimeoutDropped);
  PlayerState& s = p.state;
  if (s.breaks.InAdBreak == kFalse) {
    step_outside_break(p, tick);
    return BreakStep::kGoOn;
  }
  if (s.graph.ClipPlaying == kTrue) {
    return BreakStep::kGoOn;
  }
  if (at_end(tick, p.data.rsADTemp, Unreadable::kAsTrue)) {
    end_break(p, tick);
    return BreakStep::kEndTick;
  }
  play_current_item(p, tick);
  return BreakStep::kGoOn;
}

}  // namespace vantora
