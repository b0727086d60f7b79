#include "core/shell/player_handlers.h"

#include <array>

#include "core/ads/ad_timer.h"
#include "core/filler/filler.h"
#include "core/operator/display_panel.h"
#include "core/scheduler/day_start.h"

namespace vantora {
namespace {

// Wraps a procedure that takes only the player: timers and clicks.
template <void (*Procedure)(Player&)>
void plain(Player& p, const MouseAt& /*at*/) {
  Procedure(p);
}

constexpr std::array kPlayerEvents{
    // Timers.
    PlayerEvent{u"Timer2", ControlEvent::kTimer, &plain<Timer2_Timer>},
    PlayerEvent{u"T_Movie", ControlEvent::kTimer, nullptr},
    PlayerEvent{u"AdTimer", ControlEvent::kTimer, &plain<AdTimer_Timer>},
    PlayerEvent{u"FillerTimer", ControlEvent::kTimer, &plain<FillerTimer_Timer>},
    PlayerEvent{u"NewsTimer", ControlEvent::kTimer, nullptr},
    PlayerEvent{u"LogoTimer", ControlEvent::kTimer, nullptr},
    // The operator's buttons.
    PlayerEvent{u"B_Restart", ControlEvent::kClick, nullptr},
    PlayerEvent{u"FF", ControlEvent::kClick, nullptr},
    PlayerEvent{u"RW", ControlEvent::kClick, nullptr},
    PlayerEvent{u"B_pause", ControlEvent::kClick, nullptr},
    PlayerEvent{u"play_pause", ControlEvent::kClick, nullptr},
    PlayerEvent{u"B_UP", ControlEvent::kClick, nullptr},
    PlayerEvent{u"B_Down", ControlEvent::kClick, nullptr},
    PlayerEvent{u"B_thin", ControlEvent::kClick, nullptr},
    PlayerEvent{u"b_Wide", ControlEvent::kClick, nullptr},
    PlayerEvent{u"B_Disp", ControlEvent::kClick, nullptr},
    PlayerEvent{u"B_SetTime", ControlEvent::kClick, nullptr},
    PlayerEvent{u"Command1", ControlEvent::kClick, &plain<Command1_Click>},
    // The overlays the operator drags into place.
    PlayerEvent{u"Logo", ControlEvent::kMouseDown, nullptr},
    PlayerEvent{u"Logo", ControlEvent::kMouseUp, nullptr},
    PlayerEvent{u"T_Time", ControlEvent::kMouseDown, nullptr},
    PlayerEvent{u"T_Time", ControlEvent::kMouseUp, nullptr},
};

forms::Control* control_named(forms::PlayerForm& form, QStringView name) {
  for (forms::Control* control : form.controls()) {
    if (control->name() == name) {
      return control;
    }
  }
  return nullptr;
}

void bind(Player& p, forms::Control& control, const PlayerEvent& entry) {
  const PlayerHandler handler = entry.handler;
  Player* player = &p;
  switch (entry.event) {
    case ControlEvent::kTimer:
      if (auto* timer = dynamic_cast<forms::TimerControl*>(&control)) {
        timer->on_timer = [player, handler] { handler(*player, {}); };
      }
      break;
    case ControlEvent::kClick:
      if (auto* button = dynamic_cast<forms::Button*>(&control)) {
        button->on_click = [player, handler] { handler(*player, {}); };
      }
      break;
    case ControlEvent::kMouseDown:
      if (auto* visual = dynamic_cast<forms::VisualControl*>(&control)) {
        visual->on_mouse_down = [player, handler](float x, float y) { handler(*player, {x, y}); };
      }
      break;
    case ControlEvent::kMouseUp:
      if (auto* visual = dynamic_cast<forms::VisualControl*>(&control)) {
        visual->on_mouse_up = [player, handler](float x, float y) { handler(*player, {x, y}); };
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
