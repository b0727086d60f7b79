#include "core/ads/ad_playback.h"

#include "core/filler/play_log.h"
#include "core/media/interrupted_programme.h"
#include "core/media/movie_segment.h"
#include "core/media/run_movie.h"
#include "core/scheduler/schedule_row.h"
#include "core/shell/procedure.h"

namespace vantora {

void Get_Ad(Player& p) {
  using schedule_row::Load;
  Procedure proc(p.errors, QStringLiteral("Get_Ad()"));
  PlayerState& s = p.state;
  const db::Recordset& rs = p.data.rsADTemp;

  schedule_row::load(s, rs, proc, {Load::kMediaFile, Load::kClipFile});
  s.row.StartOffset = 0;
  schedule_row::load(s, rs, proc, {Load::kEndOffset});
  s.row.PictureTop = 0;
  s.row.PictureHeight = kFullPictureHeight_px;
  schedule_row::load(s, rs, proc, {Load::kHideCaption, Load::kAdFlag, Load::kStartNow});
  adPlayed_entry(p);
}

void Run_AdFile(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Run_AdFile()"));
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;

  s.breaks.AdPlaying = kTrue;
  if (s.breaks.InAdBreak == kFalse) {
    p.playout.record(QStringLiteral("break"), {{QStringLiteral("edge"), QStringLiteral("start")}});
  }
  // Within one break only the first item finds the logo timer still on.
  Hold_Logo_Timer(p);
  Clear_Overlays_For(p, QStringLiteral("ADV"));
  s.breaks.AdFlag = kTrue;
  f.T_Movie.Enabled = false;
  f.FillerTimer.Enabled = false;
  s.breaks.InAdBreak = kTrue;
  p.runtime.yield();
  p.runtime.yield();

  Run_Movie(p);
  Hand_Screen_To_Video(p, proc, QStringLiteral("P{sleep 1}P"));
}

}  // namespace vantora
