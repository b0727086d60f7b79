#include "sim/input_script.h"

#include <gtest/gtest.h>

namespace vantora::sim {
namespace {

using Action = ScriptedInput::Action;

DateTime start() {
  return date_time::from_parts(2026, 12, 6, 9, 59, 50);
}

// One good line at a time, read as the only line of a script. A whole script, with a comment,
// a click, a clipboard change, a crash and a launch, runs in the simulate command's test.
TEST(InputScript, ReadsEachAction) {
  const struct {
    const char* line;
    Action action;
    const char* when;
    const char* control;
    const char* text;
  } cases[] = {
      {"2026-12-07 08:00:00.25 click\tCommand1", Action::kClick, "2026-12-07T08:00:00.250",
       "Command1", ""},
      {"10:00:00.5 clipboard DISC  ", Action::kClipboard, "2026-12-06T10:00:00.500", "", "DISC  "},
      {"10:00:00 clipboard  two  blanks", Action::kClipboard, "2026-12-06T10:00:00.000", "",
       " two  blanks"},
      {"10:00:00 clipboard", Action::kClipboard, "2026-12-06T10:00:00.000", "", ""},
      {"10:00:00 restart\r", Action::kRestart, "2026-12-06T10:00:00.000", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    QString error;
    const auto script = InputScript::parse(QString::fromUtf8(c.line), start(), &error);
    ASSERT_TRUE(script) << error.toStdString();
    ASSERT_EQ(script->events().size(), 1U);
    const ScriptedInput& input = script->events().front();
    EXPECT_EQ(input.line, 1);
    EXPECT_EQ(input.action, c.action);
    EXPECT_EQ(date_time::to_iso_ms(input.when), QString::fromLatin1(c.when));
    EXPECT_EQ(input.control, QString::fromLatin1(c.control));
    EXPECT_EQ(input.text, QString::fromLatin1(c.text));
  }
}

TEST(InputScript, ReadsTheArgumentsOfMouseAndSet) {
  const auto script = InputScript::parse(QStringLiteral("# drag the clock\n"
                                                        "\n"
                                                        "10:00:00 mouse Logo down 15 30\n"
                                                        "10:00:00 mouse T_Time up -300 12.5\n"
                                                        "10:00:01 set Time_Picker.Value "
                                                        "2026-12-07 14:00:00.5\n"),
                                         start(), nullptr);
  ASSERT_TRUE(script);
  const auto& events = script->events();
  ASSERT_EQ(events.size(), 3U);
  EXPECT_EQ(events[0].line, 3);
  EXPECT_EQ(events[0].edge, ScriptedInput::Edge::kDown);
  EXPECT_EQ(events[1].edge, ScriptedInput::Edge::kUp);
  EXPECT_FLOAT_EQ(events[1].x_twips, -300.0F);
  EXPECT_FLOAT_EQ(events[1].y_twips, 12.5F);
  EXPECT_EQ(events[2].property, QStringLiteral("Value"));
  EXPECT_EQ(date_time::to_iso_ms(events[2].value), QStringLiteral("2026-12-07T14:00:00.500"));
}

// A wrong script names the first wrong line and why.
TEST(InputScript, RejectsBadLines) {
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"10:00:00 clack FF", "line 1: unknown action \"clack\""},
      {"10:00:00 click Logo", "unknown control \"Logo\" for click"},
      {"10:00:00 click FF RW", "unexpected \"RW\""},
      {"10:00:00 mouse FF down 1 2", "unknown control \"FF\" for mouse"},
      {"10:00:00 mouse Logo over 1 2", "mouse wants down or up"},
      {"10:00:00 mouse Logo down 1 y", "\"y\" is not a number"},
      {"10:00:00 set Text3.Text hello", "\"Text3.Text\" cannot be set"},
      {"10:00:00 set Time_Picker.Value tomorrow", "wants a date and time"},
      {"10:0:00 click FF", "\"10:0:00\" is not a time"},
      {"24:00:00 click FF", "24:00:00 is not a time of day"},
      {"2026-02-30 10:00:00 click FF", "2026-02-30 is not a date"},
      {"09:59:49 click FF", "before the simulation starts"},
      {"10:00:01 click FF\n10:00:00 click RW",
       "line 2: 2026-12-06T10:00:00.000 is earlier than "
       "line 1"},
      {"10:00:00 launch", "launch while the program runs"},
      {"10:00:00 crash\n10:00:01 click FF",
       "line 2: click while the program is not running "
       "(it ended at line 1)"},
      {"10:00:00 crash\n10:00:01 launch\n10:00:02 launch", "line 3: launch while"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    QString error;
    EXPECT_FALSE(InputScript::parse(QString::fromUtf8(c.script), start(), &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
  }
}

}  // namespace
}  // namespace vantora::sim
