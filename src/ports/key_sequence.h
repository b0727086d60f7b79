#pragma once

#include <QString>
#include <cstdint>
#include <variant>
#include <vector>

namespace vantora::ports {

// Modifier bits held down around one key.
enum Modifier : std::uint8_t {
  kNoModifier = 0,
  kShift = 1,
  kControl = 2,
  kAlt = 4,
};

// Keys that have a name rather than a character.
enum class NamedKey : std::uint8_t {
  kNone,  // the stroke types `character`
  kF1,
  kF2,
  kF3,
  kF4,
  kF5,
  kF6,
  kF7,
  kF8,
  kF9,
  kF10,
  kF11,
  kF12,
  kEscape,
  kEnter,
  kTab,
  kBackspace,
  kDelete,
  kInsert,
  kHome,
  kEnd,
  kPageUp,
  kPageDown,
  kUp,
  kDown,
  kLeft,
  kRight,
};

// One key pressed and released with its modifiers. A character is typed as it stands: an
// uppercase letter brings its own Shift, so "P" and "+p" type the same key.
struct KeyStroke {
  std::uint8_t modifiers = kNoModifier;
  NamedKey named = NamedKey::kNone;
  char32_t character = 0;
  friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

// A pause between strokes; the thread is blocked for it, as by a sleep.
struct KeyPause {
  int duration_ms = 0;
  friend bool operator==(const KeyPause&, const KeyPause&) = default;
};

using KeyAction = std::variant<KeyStroke, KeyPause>;

// A key string as the designer link sends it: its text (for the trace and the log) and what it
// means, strokes and pauses in order.
struct KeySequence {
  QString text;
  std::vector<KeyAction> actions;
};

}  // namespace vantora::ports
