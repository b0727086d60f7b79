#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "base/date_time.h"

namespace vantora::sim {

// One line of a simulator's input script: something done to the program from outside, at a
// virtual moment. The format is documented in docs/trace.md.
struct ScriptedInput {
  enum class Action { kClipboard, kClick, kMouse, kSet, kRestart, kCrash, kLaunch };
  enum class Edge { kDown, kUp };

  int line = 0;
  DateTime when;
  Action action = Action::kClick;
  QString control;   // click, mouse, set
  QString property;  // set
  QString text;      // clipboard: the new text; set: the value as written
  DateTime value;    // set: the value read
  Edge edge = Edge::kDown;
  float x_twips = 0;
  float y_twips = 0;
};

const char* action_name(ScriptedInput::Action action);

// A whole script, read and checked before anything is simulated, in the order its events happen.
class InputScript {
 public:
  // `start` is the simulation's first moment: a line giving only a time of day falls on its day,
  // and no line may come before it. Nothing when a line is wrong; `error` then says which line
  // and why.
  static std::optional<InputScript> parse(const QString& text, DateTime start, QString* error);
  static std::optional<InputScript> load(const QString& path, DateTime start, QString* error);

  const std::vector<ScriptedInput>& events() const { return events_; }

 private:
  std::vector<ScriptedInput> events_;
};

}  // namespace vantora::sim
