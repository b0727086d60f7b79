#include "core/designer/key_string.h"

#include <array>

#include "base/errors.h"

namespace vantora::keys {
namespace {

using ports::KeyAction;
using ports::KeyPause;
using ports::KeyStroke;
using ports::NamedKey;

struct KeyName {
  NamedKey key;
  const char* spelling;  // the first spelling of a key is the one written back
  const char* shown;
};

constexpr std::array kKeyNames{
    KeyName{NamedKey::kF1, "F1", "F1"},
    KeyName{NamedKey::kF2, "F2", "F2"},
    KeyName{NamedKey::kF3, "F3", "F3"},
    KeyName{NamedKey::kF4, "F4", "F4"},
    KeyName{NamedKey::kF5, "F5", "F5"},
    KeyName{NamedKey::kF6, "F6", "F6"},
    KeyName{NamedKey::kF7, "F7", "F7"},
    KeyName{NamedKey::kF8, "F8", "F8"},
    KeyName{NamedKey::kF9, "F9", "F9"},
    KeyName{NamedKey::kF10, "F10", "F10"},
    KeyName{NamedKey::kF11, "F11", "F11"},
    KeyName{NamedKey::kF12, "F12", "F12"},
    KeyName{NamedKey::kEscape, "esc", "Esc"},
    KeyName{NamedKey::kEscape, "escape", "Esc"},
    KeyName{NamedKey::kEnter, "enter", "Enter"},
    KeyName{NamedKey::kTab, "tab", "Tab"},
    KeyName{NamedKey::kBackspace, "bs", "Backspace"},
    KeyName{NamedKey::kBackspace, "bksp", "Backspace"},
    KeyName{NamedKey::kBackspace, "backspace", "Backspace"},
    KeyName{NamedKey::kDelete, "del", "Del"},
    KeyName{NamedKey::kDelete, "delete", "Del"},
    KeyName{NamedKey::kInsert, "ins", "Ins"},
    KeyName{NamedKey::kInsert, "insert", "Ins"},
    KeyName{NamedKey::kHome, "home", "Home"},
    KeyName{NamedKey::kEnd, "end", "End"},
    KeyName{NamedKey::kPageUp, "pgup", "PgUp"},
    KeyName{NamedKey::kPageDown, "pgdn", "PgDown"},
    KeyName{NamedKey::kUp, "up", "Up"},
    KeyName{NamedKey::kDown, "down", "Down"},
    KeyName{NamedKey::kLeft, "left", "Left"},
    KeyName{NamedKey::kRight, "right", "Right"},
};

// Characters the notation itself uses; inside braces they stand for themselves.
bool is_special(char32_t c) {
  return c == U'+' || c == U'^' || c == U'%' || c == U'~' || c == U'(' || c == U')' || c == U'{' ||
         c == U'}';
}

constexpr int kMaxGroupDepth = 16;

class Parser {
 public:
  explicit Parser(const QString& text) : text_(text) {}

  std::vector<KeyAction> run() {
    sequence(ports::kNoModifier, 0);
    return std::move(actions_);
  }

 private:
  [[noreturn]] void fail(qsizetype at, const char* why) const {
    throw RuntimeError(err::kInvalidProcedureCall, QStringLiteral("bad key string \"%1\" at %2: %3")
                                                       .arg(text_)
                                                       .arg(at)
                                                       .arg(QString::fromLatin1(why)));
  }

  bool at_end() const { return pos_ >= text_.size(); }

  // One character, a surrogate pair making one.
  char32_t take_character() {
    const QChar first = text_[pos_];
    if (first.isHighSurrogate() && pos_ + 1 < text_.size() && text_[pos_ + 1].isLowSurrogate()) {
      const char32_t c = QChar::surrogateToUcs4(first, text_[pos_ + 1]);
      pos_ += 2;
      return c;
    }
    if (first.isSurrogate()) {
      fail(pos_, "broken character");
    }
    ++pos_;
    return first.unicode();
  }

  void stroke(std::uint8_t modifiers, NamedKey key, char32_t character, int count = 1) {
    for (int i = 0; i < count; ++i) {
      actions_.emplace_back(KeyStroke{modifiers, key, character});
    }
  }

  // Keys until the end of the text, or until the ")" that closes a group.
  void sequence(std::uint8_t outer, int depth) {
    std::uint8_t pending = ports::kNoModifier;
    qsizetype pending_at = 0;
    while (!at_end()) {
      const qsizetype start = pos_;
      const QChar c = text_[pos_];
      if (c == u'+' || c == u'^' || c == u'%') {
        if (pending == ports::kNoModifier) {
          pending_at = start;
        }
        pending |= c == u'+' ? ports::kShift : c == u'^' ? ports::kControl : ports::kAlt;
        ++pos_;
        continue;
      }
      const std::uint8_t modifiers = outer | pending;
      const bool modified = pending != ports::kNoModifier;
      pending = ports::kNoModifier;
      if (c == u'(') {
        if (depth + 1 > kMaxGroupDepth) {
          fail(start, "groups nested too deep");
        }
        ++pos_;
        sequence(modifiers, depth + 1);
        if (at_end()) {
          fail(start, "\"(\" is never closed");
        }
        ++pos_;  // the ")"
      } else if (c == u')') {
        if (depth == 0) {
          fail(start, "\")\" closes nothing");
        }
        if (modified) {
          fail(pending_at, "a modifier with no key after it");
        }
        return;
      } else if (c == u'{') {
        brace(modifiers);
      } else if (c == u'}') {
        fail(start, "\"}\" opens nothing");
      } else if (c == u'~') {
        ++pos_;
        stroke(modifiers, NamedKey::kEnter, 0);
      } else {
        const char32_t character = take_character();
        if (character < 0x20 || character == 0x7F) {
          fail(start, "a control character");
        }
        stroke(modifiers, NamedKey::kNone, character);
      }
    }
    if (pending != ports::kNoModifier) {
      fail(pending_at, "a modifier with no key after it");
    }
  }

  // "{name}", "{name N}", "{sleep N}" or "{c}" for one character, "{}}" included.
  void brace(std::uint8_t modifiers) {
    const qsizetype start = pos_;
    qsizetype close = text_.indexOf(u'}', start + 1);
    if (close == start + 1 && close + 1 < text_.size() && text_[close + 1] == u'}') {
      ++close;  // "{}}": a closing brace typed
    }
    if (close < 0) {
      fail(start, "\"{\" is never closed");
    }
    const QString inside = text_.mid(start + 1, close - start - 1);
    pos_ = close + 1;

    QString name = inside;
    int count = 1;
    bool counted = false;
    const qsizetype blank = inside.lastIndexOf(u' ');
    if (blank > 0) {
      bool ok = false;
      count = inside.mid(blank + 1).toInt(&ok);
      if (!ok || count < 0 || count > kMaxBraceCount) {
        fail(start, "a count must be a whole number from 0 to 600");
      }
      name = inside.left(blank);
      counted = true;
    }
    if (name.isEmpty()) {
      fail(start, "an empty brace");
    }
    if (name.compare(u"sleep", Qt::CaseInsensitive) == 0) {
      if (!counted) {
        fail(start, "{sleep} needs a count");
      }
      if (modifiers != ports::kNoModifier) {
        fail(start, "a modifier cannot hold a pause");
      }
      actions_.emplace_back(KeyPause{count * kSleepUnitMs});
      return;
    }
    const bool one_character = name.size() == 1 || (name.size() == 2 && name[0].isHighSurrogate() &&
                                                    name[1].isLowSurrogate());
    if (one_character) {
      const char32_t character =
          name.size() == 1 ? char32_t{name[0].unicode()} : QChar::surrogateToUcs4(name[0], name[1]);
      if (character < 0x20 || character == 0x7F || QChar::isSurrogate(character)) {
        fail(start, "a control character");
      }
      stroke(modifiers, NamedKey::kNone, character, count);
      return;
    }
    for (const KeyName& entry : kKeyNames) {
      if (name.compare(QLatin1String(entry.spelling), Qt::CaseInsensitive) == 0) {
        stroke(modifiers, entry.key, 0, count);
        return;
      }
    }
    fail(start, "an unknown key name");
  }

  const QString& text_;
  qsizetype pos_ = 0;
  std::vector<KeyAction> actions_;
};

const KeyName* name_of(NamedKey key) {
  for (const KeyName& entry : kKeyNames) {
    if (entry.key == key) {
      return &entry;
    }
  }
  return nullptr;
}

QString character_text(char32_t character) {
  return QString::fromUcs4(&character, 1);
}

}  // namespace

ports::KeySequence parse_key_string(const QString& text) {
  ports::KeySequence sequence;
  sequence.text = text;
  sequence.actions = Parser(text).run();
  return sequence;
}

QString format_key_string(const std::vector<ports::KeyAction>& actions) {
  QString text;
  for (const KeyAction& action : actions) {
    if (const auto* pause = std::get_if<KeyPause>(&action)) {
      text += QStringLiteral("{sleep %1}").arg(pause->duration_ms / kSleepUnitMs);
      continue;
    }
    const auto& stroke = std::get<KeyStroke>(action);
    if ((stroke.modifiers & ports::kShift) != 0) {
      text += u'+';
    }
    if ((stroke.modifiers & ports::kControl) != 0) {
      text += u'^';
    }
    if ((stroke.modifiers & ports::kAlt) != 0) {
      text += u'%';
    }
    if (stroke.named != NamedKey::kNone) {
      const KeyName* entry = name_of(stroke.named);
      text += QStringLiteral("{%1}").arg(QLatin1String(entry != nullptr ? entry->spelling : "?"));
    } else if (is_special(stroke.character)) {
      text += QStringLiteral("{%1}").arg(character_text(stroke.character));
    } else {
      text += character_text(stroke.character);
    }
  }
  return text;
}

QString describe(const ports::KeyStroke& stroke) {
  QString text;
  if ((stroke.modifiers & ports::kControl) != 0) {
    text += QStringLiteral("Ctrl+");
  }
  if ((stroke.modifiers & ports::kAlt) != 0) {
    text += QStringLiteral("Alt+");
  }
  if ((stroke.modifiers & ports::kShift) != 0) {
    text += QStringLiteral("Shift+");
  }
  if (stroke.named != NamedKey::kNone) {
    const KeyName* entry = name_of(stroke.named);
    text += QLatin1String(entry != nullptr ? entry->shown : "?");
  } else if (stroke.character == U' ') {
    text += QStringLiteral("Space");
  } else {
    text += character_text(stroke.character);
  }
  return text;
}

}  // namespace vantora::keys
