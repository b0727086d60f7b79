#include "core/shell/player_handlers.h"

#include "core/ads/ad_timer.h"
#include "core/filler/filler.h"
#include "core/news/news_timer.h"
#include "core/scheduler/day_start.h"

namespace vantora {

void Connect_Player_Handlers(Player& p) {
  forms::PlayerForm& f = p.form;
  f.Timer2.on_timer = [&p] { Timer2_Timer(p); };
  f.FillerTimer.on_timer = [&p] { FillerTimer_Timer(p); };
  f.AdTimer.on_timer = [&p] { AdTimer_Timer(p); };
  f.NewsTimer.on_timer = [&p] { NewsTimer_Timer(p); };
}

}  // namespace vantora
