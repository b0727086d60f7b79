#include "core/news/news_display.h"

#include "core/media/interrupted_programme.h"
#include "core/media/movie_segment.h"
#include "core/media/run_movie.h"
#include "core/shell/file_lists.h"
#include "core/shell/procedure.h"

namespace vantora {

void RunNews(Player& p) {
  Procedure proc(p.errors, QStringLiteral("RunNews()"));
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;

  s.news.NewsRunning = kTrue;
  p.playout.record(QStringLiteral("news"), {{QStringLiteral("edge"), QStringLiteral("start")}});
  Hold_Logo_Timer(p);

  Clear_Overlays_For(p, QStringLiteral("News"));

  // The news timer stays on: it plays the rest of the folder.
  f.T_Movie.Enabled = false;
  f.FillerTimer.Enabled = false;
  f.AdTimer.Enabled = false;

  p.runtime.yield();
  p.runtime.yield();

  proc([&] { s.news.NewsClip = file_lists::entry_path(f.NewsFile, 0); });
  s.news.NewsIndex = 1;
  Run_Movie(p);
  p.errors.ProcName = proc.label();

  Hand_Screen_To_Video(p, proc, QStringLiteral("P{sleep 1}P"));
}

}  // namespace vantora
