#include "sim/scripted_input.h"

#include "core/shell/player_handlers.h"
#include "sim/simulation.h"

namespace vantora::sim {
namespace {

using Action = ScriptedInput::Action;

forms::Control* control_named(forms::Form& form, const QString& name) {
  for (forms::Control* control : form.controls()) {
    if (control->name() == name) {
      return control;
    }
  }
  return nullptr;
}

// The player window, when the program runs and has one.
Player* player_of(Simulation& simulation) {
  return simulation.program_running() ? simulation.application().player() : nullptr;
}

// A click or a mouse event reaches a handler only when the window is there and the handler
// table serves the event.
bool served(Player* player, const QString& control, ControlEvent event) {
  const PlayerEvent* entry = find_player_event(control, event);
  return player != nullptr && entry != nullptr && entry->handler != nullptr;
}

void carry_out(Simulation& simulation, const ScriptedInput& input) {
  nlohmann::json fields = {{"line", input.line}, {"action", action_name(input.action)}};
  Trace& trace = simulation.trace();
  Player* player = player_of(simulation);
  switch (input.action) {
    case Action::kClipboard:
      fields["value"] = Trace::text(input.text);
      trace.event("input", fields);
      simulation.desktop().set_clipboard_from_outside(input.text);
      return;
    case Action::kClick: {
      fields["control"] = Trace::text(input.control);
      fields["handled"] = served(player, input.control, ControlEvent::kClick);
      trace.event("input", fields);
      if (player == nullptr) {
        return;
      }
      if (auto* button = dynamic_cast<forms::Button*>(control_named(player->form, input.control))) {
        button->click();
      }
      return;
    }
    case Action::kMouse: {
      const bool down = input.edge == ScriptedInput::Edge::kDown;
      fields["control"] = Trace::text(input.control);
      fields["edge"] = down ? "down" : "up";
      fields["x"] = input.x_twips;
      fields["y"] = input.y_twips;
      fields["handled"] =
          served(player, input.control, down ? ControlEvent::kMouseDown : ControlEvent::kMouseUp);
      trace.event("input", fields);
      if (player == nullptr) {
        return;
      }
      if (auto* visual =
              dynamic_cast<forms::VisualControl*>(control_named(player->form, input.control))) {
        if (down) {
          visual->mouse_down(input.x_twips, input.y_twips);
        } else {
          visual->mouse_up(input.x_twips, input.y_twips);
        }
      }
      return;
    }
    case Action::kSet: {
      fields["control"] = Trace::text(input.control);
      fields["prop"] = Trace::text(input.property);
      fields["value"] = Trace::text(date_time::to_iso_ms(input.value));
      fields["handled"] = player != nullptr;
      trace.event("input", fields);
      if (player == nullptr) {
        return;
      }
      // Only a picker's value can be set today (the script's reader allows no other).
      if (auto* picker =
              dynamic_cast<forms::DatePicker*>(control_named(player->form, input.control))) {
        picker->Value = input.value;
      }
      return;
    }
    case Action::kRestart:
      trace.event("input", fields);
      if (simulation.program_running()) {
        simulation.application().Restart_Load();
      }
      return;
    case Action::kCrash:
      trace.event("input", fields);
      simulation.kill();
    case Action::kLaunch:
      // The Exit button may have been pressed before the window was there: the program then
      // still runs and is not started twice.
      fields["handled"] = !simulation.program_running();
      trace.event("input", fields);
      simulation.launch();
      return;
  }
}

}  // namespace

void queue_scripted_input(Simulation& simulation, const InputScript& script) {
  for (const ScriptedInput& input : script.events()) {
    simulation.runtime().post_at(input.when,
                                 [&simulation, &input] { carry_out(simulation, input); });
  }
}

}  // namespace vantora::sim
