#include "core/news/news_timer.h"

#include "base/object_ref.h"
#include "core/filler/filler.h"
#include "core/media/clip_end.h"
#include "core/media/interrupted_programme.h"
#include "core/media/movie_segment.h"
#include "core/media/run_movie.h"
#include "core/news/news_display.h"
#include "core/shell/file_lists.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

const QString kLabel = QStringLiteral("News_Timer_Timer()");

void show_position(Player& p) {
  const double position_s = object(p.state.graph.m_objMediaPosition).CurrentPosition();
  p.form.Text1.Text = QString::number(values::int_part(position_s), 'f', 0);
}

void wait_for_item(Player& p) {
  PlayerState& s = p.state;
  // The look-ahead notes the day the item falls due on: one found past midnight waits for the
  // next day instead of counting as due at once before midnight.
  s.news.NewsTime = DateTime(s.news.NewsDay.value + date_time::time_of_day(s.news.NewsTime).value);
  if (p.form.NewsFile.ListCount() == 0) {
    return;
  }
  const DateTime now = date_time::truncate_to_second(p.runtime.now());
  if (date_time::to_linear_ms(now) < date_time::to_linear_ms(s.news.NewsTime)) {
    return;
  }
  // A break keeps the programme it interrupted in the same saved state: news started now would
  // save the ad over it, resume the ad as though it were the movie and lose the rest of the
  // break. The item waits for the break's end, when the look-ahead of the resumed programme
  // keeps it (NewsHeld) and the next tick starts it.
  if (s.breaks.InAdBreak == kTrue) {
    s.news.NewsHeld = kTrue;
    return;
  }
  s.news.NewsHeld = kFalse;
  // The save and the restore are the break's; a value they cannot read is logged there and the
  // rest is still kept, so the news never waits on a graph that cannot tell its position.
  Procedure proc(p.errors, kLabel);
  Save_Programme(p, proc);
  RunNews(p);
}

void resume_programme(Player& p) {
  PlayerState& s = p.state;
  s.news.NewsRunning = kFalse;
  p.playout.record(QStringLiteral("news"), {{QStringLiteral("edge"), QStringLiteral("end")}});
  p.form.NewsTimer.Enabled = false;
  Procedure proc(p.errors, kLabel);
  Restore_Programme(p, proc);
  if (s.filler.FillerMode == kTrue) {
    Run_Filler(p);
  } else {
    Run_MovieFile(p);
  }
}

void play_next_clip(Player& p) {
  NewsState& news = p.state.news;
  news.NewsClip = file_lists::entry_path(p.form.NewsFile, news.NewsIndex);
  ++news.NewsIndex;
  Run_Movie(p);
}

void step_through_clips(Player& p) {
  PlayerState& s = p.state;
  // A clip that could not be rendered never played: it counts as ended, so a bad file in the
  // folder is passed over instead of holding the channel on it with the programme stopped.
  if (s.graph.ClipPlaying == kTrue) {
    show_position(p);
    if (!Poll_Clip_End(s.graph)) {
      return;
    }
  }
  s.graph.ClipPlaying = kFalse;
  if (s.news.NewsIndex >= s.news.NewsCount) {
    resume_programme(p);
  } else {
    play_next_clip(p);
  }
  p.errors.ProcName = kLabel;
  show_position(p);
}

}  // namespace

void NewsTimer_Timer(Player& p) {
  // The tick's statements run bare under one guard: the first that fails ends the tick where it
  // stands, with nothing logged and nothing undone. The timer comes back within a second, so a
  // failure costs one tick.
  Procedure tick(p.errors, kLabel, OnError::kAnyErrorEnds);
  tick([&] {
    if (p.state.news.NewsRunning == kFalse) {
      wait_for_item(p);
    } else {
      step_through_clips(p);
    }
  });
}

}  // namespace vantora
