#include "core/designer/key_string.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "base/errors.h"

namespace vantora::keys {
namespace {

using ports::KeyAction;
using ports::KeyPause;
using ports::KeyStroke;
using ports::NamedKey;

// Each stroke as describe() names it, pauses as "pause N".
QStringList spelled(const QString& text) {
  QStringList out;
  for (const KeyAction& action : parse_key_string(text).actions) {
    if (const auto* pause = std::get_if<KeyPause>(&action)) {
      out << QStringLiteral("pause %1").arg(pause->duration_ms);
    } else {
      out << describe(std::get<KeyStroke>(action));
    }
  }
  return out;
}

TEST(KeyString, ParsesTheDesignersStringsAndTheNotation) {
  struct Case {
    const char* text;
    QStringList keys;
  };
  const std::vector<Case> cases{
      {"^{F1}", {"Ctrl+F1"}},
      {" {sleep 1} ", {"Space", "pause 100", "Space"}},
      {"", {}},
      {"{ESC}{Escape}{enter}~{TAB}", {"Esc", "Esc", "Enter", "Enter", "Tab"}},
      {"^%+{F12}", {"Ctrl+Alt+Shift+F12"}},
      {"+(ab)c", {"Shift+a", "Shift+b", "c"}},
      {"^(%(x)y)", {"Ctrl+Alt+x", "Ctrl+y"}},
      {"{left 3}", {"Left", "Left", "Left"}},
      {"{+}{^}{%}{~}{(}{)}{{}{}}", {"+", "^", "%", "~", "(", ")", "{", "}"}},
      {"[]é", {"[", "]", "é"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(spelled(QString::fromUtf8(c.text)), c.keys);
  }
}

TEST(KeyString, RejectsWhatBreaksTheNotation) {
  for (const char* text :
       {"{bogus}", "%", "a+", "(ab", "ab)", "+(a+)", "{esc", "}", "{}", "%{sleep 1}", "{sleep -1}",
        "{sleep 601}", "{F13}", "\x01", "{left 99999999999}"}) {
    SCOPED_TRACE(text);
    try {
      parse_key_string(QString::fromLatin1(text));
      ADD_FAILURE() << "accepted";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.number(), err::kInvalidProcedureCall);
      EXPECT_TRUE(error.description().contains(QString::fromLatin1(text)));
    }
  }
}

}  // namespace
}  // namespace vantora::keys
