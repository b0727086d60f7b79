#include "core/shell/player_handlers.h"

#include <array>

#include "core/ads/ad_timer.h"
#include "core/filler/filler.h"
#include "core/logo/logo_timer.h"
#include "core/media/transport.h"
#include "core/news/news_timer.h"
#include "core/operator/display_panel.h"
#include "core/operator/emergency.h"
#include "core/scheduler/day_start.h"
#include "core/scheduler/movie_timer.h"

namespace vantora {
namespace {

// Wraps a procedure that takes only the player: timers and clicks.
template <void (*Procedure)(Player&)>
void plain(Player& p, const MouseAt& /*at*/) {
  Procedure(p);
}

// Wraps a mouse event's procedure: the position inside the control, in twips.
template <void (*Procedure)(Player&, float, float)>
void mouse(Player& p, const MouseAt& at) {
  Procedure(p, at.X, at.Y);
}

constexpr std::array kPlayerEvents{
    // Timers.
    PlayerEvent{u"Timer2", ControlEvent::kTimer, &plain<Timer2_Timer>},
    PlayerEvent{u"T_Movie", ControlEvent::kTimer, &plain<T_Movie_Timer>},
    PlayerEvent{u"AdTimer", ControlEvent::kTimer, &plain<AdTimer_Timer>},
    PlayerEvent{u"FillerTimer", ControlEvent::kTimer, &plain<FillerTimer_Timer>},
    PlayerEvent{u"NewsTimer", ControlEvent::kTimer, &plain<NewsTimer_Timer>},
    PlayerEvent{u"LogoTimer", ControlEvent::kTimer, &plain<LogoTimer_Timer>},
    // The operator's buttons.
    PlayerEvent{u"B_Restart", ControlEvent::kClick, &plain<B_Restart_Click>},
    PlayerEvent{u"FF", ControlEvent::kClick, &plain<FF_Click>},
    PlayerEvent{u"RW", ControlEvent::kClick, &plain<RW_Click>},
    PlayerEvent{u"B_pause", ControlEvent::kClick, &plain<B_pause_Click>},
    PlayerEvent{u"play_pause", ControlEvent::kClick, &plain<play_pause_Click>},
    PlayerEvent{u"B_UP", ControlEvent::kClick, &plain<B_UP_Click>},
    PlayerEvent{u"B_Down", ControlEvent::kClick, &plain<B_Down_Click>},
    PlayerEvent{u"B_thin", ControlEvent::kClick, &plain<B_thin_Click>},
    PlayerEvent{u"b_Wide", ControlEvent::kClick, &plain<b_Wide_Click>},
    PlayerEvent{u"B_Disp", ControlEvent::kClick, &plain<B_Disp_Click>},
    PlayerEvent{u"B_SetTime", ControlEvent::kClick, &plain<B_SetTime_Click>},
    PlayerEvent{u"Command1", ControlEvent::kClick, &plain<Command1_Click>},
    // The overlays the operator drags into place.
    PlayerEvent{u"Logo", ControlEvent::kMouseDown, &mouse<Logo_MouseDown>},
    PlayerEvent{u"Logo", ControlEvent::kMouseUp, &mouse<Logo_MouseUp>},
    PlayerEvent{u"T_Time", ControlEvent::kMouseDown, &mouse<T_Time_MouseDown>},
    PlayerEvent{u"T_Time", ControlEvent::kMouseUp, &mouse<T_Time_MouseUp>},
};

forms::Control* control_named(forms::PlayerForm& form, QStringView name) {
  for (forms::Control* control : form.controls()) {
    if (control->name() == name) {
      return control;
    }
  }
  return nullptr;
}

// The operator's hand on the window goes into the record of the day before it takes effect.
void record_operator(Player& p, const QString& control, const char* action) {
  p.playout.record(QStringLiteral("operator"),
                   {{QStringLiteral("control"), control},
                    {QStringLiteral("action"), QString::fromLatin1(action)}});
}

// A procedure resuming after the unload may still switch a timer on, and a click may already be
// queued: an unloaded window serves no event.
bool serves_events(const Player& p) {
  return p.state.lifecycle.Unloaded != kTrue;
}

void bind(Player& p, forms::Control& control, const PlayerEvent& entry) {
  const PlayerHandler handler = entry.handler;
  Player* player = &p;
  const QString name = entry.control.toString();
  switch (entry.event) {
    case ControlEvent::kTimer:
      if (auto* timer = dynamic_cast<forms::TimerControl*>(&control)) {
        timer->on_timer = [player, handler] {
          if (serves_events(*player)) {
            handler(*player, {});
          }
        };
      }
      break;
    case ControlEvent::kClick:
      if (auto* button = dynamic_cast<forms::Button*>(&control)) {
        button->on_click = [player, handler, name] {
          if (!serves_events(*player)) {
            return;
          }
          record_operator(*player, name, "click");
          handler(*player, {});
        };
      }
      break;
    case ControlEvent::kMouseDown:
      if (auto* visual = dynamic_cast<forms::VisualControl*>(&control)) {
        visual->on_mouse_down = [player, handler, name](float x, float y) {
          if (!serves_events(*player)) {
            return;
          }
          record_operator(*player, name, "mouse down");
          handler(*player, {x, y});
        };
      }
      break;
    case ControlEvent::kMouseUp:
      if (auto* visual = dynamic_cast<forms::VisualControl*>(&control)) {
        visual->on_mouse_up = [player, handler, name](float x, float y) {
          if (!serves_events(*player)) {
            return;
          }
          record_operator(*player, name, "mouse up");
          handler(*player, {x, y});
        };
      }
      break;
  }
}

}  // namespace

std::span<const PlayerEvent> player_events() {
  return kPlayerEvents;
}

const PlayerEvent* find_player_event(QStringView control, ControlEvent event) {
  for (const PlayerEvent& entry : kPlayerEvents) {
    if (entry.control == control && entry.event == event) {
      return &entry;
    }
  }
  return nullptr;
}

void Connect_Player_Handlers(Player& p) {
  for (const PlayerEvent& entry : kPlayerEvents) {
    if (entry.handler == nullptr) {
      continue;
    }
    if (forms::Control* control = control_named(p.form, entry.control)) {
      bind(p, *control, entry);
    }
  }
}

}  // namespace vantora
