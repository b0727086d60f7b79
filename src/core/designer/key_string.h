#pragma once

#include <QString>

#include "ports/key_sequence.h"

namespace vantora::keys {

// "{sleep N}" pauses N tenths of a second: long enough for the designer to take in the key
// before it, short enough not to stall the one thread that also runs the timers.
inline constexpr int kSleepUnitMs = 100;

// The largest count a brace may carry ("{left 3}", "{sleep 50}"); garbage must not ask for a
// billion strokes or an hour's pause.
inline constexpr int kMaxBraceCount = 600;

// Parses a key string in the classic notation:
//   "%" Alt, "^" Ctrl, "+" Shift: prefixes of the next key or of a parenthesised group;
//   "{name}" a named key ({F1}..{F12}, {esc}, {enter}, {tab}, {bs}, {del}, {ins}, {home},
//   {end}, {pgup}, {pgdn}, {up}, {down}, {left}, {right}; names ignore case), "{name N}" that
//   key N times, "{sleep N}" a pause, "{+}" "{^}" "{%}" "{~}" "{(}" "{)}" "{{}" "{}}" the
//   character itself; "~" Enter; any other character typed as it stands.
// A string that breaks the notation raises error 5 naming the position; nothing is sent then.
ports::KeySequence parse_key_string(const QString& text);

// Writes strokes and pauses back in the notation; parse_key_string of the result gives them
// again.
QString format_key_string(const std::vector<ports::KeyAction>& actions);

// "Ctrl+Alt+F1", "Alt+y", "P", "Space", "Esc": one stroke as a person would name it.
QString describe(const ports::KeyStroke& stroke);

}  // namespace vantora::keys
