#include "sim/input_script.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <array>
#include <cmath>

#include "core/shell/player_handlers.h"

namespace vantora::sim {
namespace {

using Action = ScriptedInput::Action;

// What is wrong with the line being read.
struct BadLine {
  QString why;
};

struct ActionName {
  QStringView word;
  Action action;
};
constexpr std::array kActions{
    ActionName{u"clipboard", Action::kClipboard}, ActionName{u"click", Action::kClick},
    ActionName{u"mouse", Action::kMouse},         ActionName{u"set", Action::kSet},
    ActionName{u"restart", Action::kRestart},     ActionName{u"crash", Action::kCrash},
    ActionName{u"launch", Action::kLaunch},
};

// The properties an operator changes by hand; each is a date-time today.
struct Settable {
  QStringView control;
  QStringView property;
};
constexpr std::array kSettable{Settable{u"Time_Picker", u"Value"}};

bool is_blank(QChar c) {
  return c == u' ' || c == u'\t';
}

// Reads a line word by word; the blanks between words are one or more spaces or tabs.
class Words {
 public:
  explicit Words(QStringView line) : rest_(line) {}

  QStringView next() {
    skip_blanks();
    qsizetype end = 0;
    while (end < rest_.size() && !is_blank(rest_[end])) {
      ++end;
    }
    const QStringView word = rest_.first(end);
    rest_ = rest_.sliced(end);
    return word;
  }
  // What follows the last word read, blanks included.
  QStringView rest() const { return rest_; }
  bool at_end() const { return rest_.trimmed().isEmpty(); }

 private:
  void skip_blanks() {
    while (!rest_.isEmpty() && is_blank(rest_.front())) {
      rest_ = rest_.sliced(1);
    }
  }
  QStringView rest_;
};

QDate read_date(QStringView word) {
  static const QRegularExpression pattern(QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})$)"));
  const auto match = pattern.match(word.toString());
  if (!match.hasMatch()) {
    return {};
  }
  return {match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()};
}

bool looks_like_date(QStringView word) {
  return word.size() == 10 && word[4] == u'-' && word[7] == u'-';
}

DateTime read_time_on(QDate day, QStringView word) {
  static const QRegularExpression pattern(
      QStringLiteral(R"(^(\d{2}):(\d{2}):(\d{2})(?:\.(\d{1,3}))?$)"));
  const auto match = pattern.match(word.toString());
  if (!match.hasMatch()) {
    throw BadLine{QStringLiteral("\"%1\" is not a time HH:MM:SS[.mmm]").arg(word)};
  }
  const int hour = match.captured(1).toInt();
  const int minute = match.captured(2).toInt();
  const int second = match.captured(3).toInt();
  if (hour > 23 || minute > 59 || second > 59) {
    throw BadLine{QStringLiteral("%1 is not a time of day").arg(word)};
  }
  // ".5" is half a second.
  const QString fraction = match.captured(4).leftJustified(3, QLatin1Char('0'));
  return date_time::from_parts(day.year(), day.month(), day.day(), hour, minute, second,
                               fraction.toInt());
}

// "YYYY-MM-DD HH:MM:SS[.mmm]", or "HH:MM:SS[.mmm]" on `first_day`.
DateTime read_moment(Words& words, QDate first_day) {
  QStringView first = words.next();
  if (first.isEmpty()) {
    throw BadLine{QStringLiteral("no time")};
  }
  if (!looks_like_date(first)) {
    return read_time_on(first_day, first);
  }
  const QDate day = read_date(first);
  if (!day.isValid()) {
    throw BadLine{QStringLiteral("%1 is not a date YYYY-MM-DD").arg(first)};
  }
  return read_time_on(day, words.next());
}

Action read_action(QStringView word) {
  for (const ActionName& known : kActions) {
    if (known.word == word) {
      return known.action;
    }
  }
  QStringList names;
  for (const ActionName& known : kActions) {
    names.append(known.word.toString());
  }
  throw BadLine{QStringLiteral("unknown action \"%1\" (the actions are %2)")
                    .arg(word, names.join(QStringLiteral(", ")))};
}

// A control that has the event in the player window's handler table.
QString read_control(QStringView word, ControlEvent event, const char* what) {
  if (find_player_event(word, event) != nullptr) {
    return word.toString();
  }
  QStringList names;
  for (const PlayerEvent& entry : player_events()) {
    if (entry.event == event && !names.contains(entry.control.toString())) {
      names.append(entry.control.toString());
    }
  }
  throw BadLine{QStringLiteral("unknown control \"%1\" for %2 (%3)")
                    .arg(word, QString::fromLatin1(what), names.join(QStringLiteral(", ")))};
}

float read_twips(QStringView word) {
  bool ok = false;
  const double value = word.toDouble(&ok);
  if (!ok || !std::isfinite(value)) {
    throw BadLine{QStringLiteral("\"%1\" is not a number of twips").arg(word)};
  }
  return static_cast<float>(value);
}

void expect_end(const Words& words) {
  if (!words.at_end()) {
    throw BadLine{QStringLiteral("unexpected \"%1\" at the end").arg(words.rest().trimmed())};
  }
}

void read_mouse(Words& words, ScriptedInput& input) {
  const QStringView control = words.next();
  const QStringView edge = words.next();
  if (edge == u"down") {
    input.edge = ScriptedInput::Edge::kDown;
  } else if (edge == u"up") {
    input.edge = ScriptedInput::Edge::kUp;
  } else {
    throw BadLine{QStringLiteral("mouse wants down or up, not \"%1\"").arg(edge)};
  }
  input.control = read_control(
      control, edge == u"down" ? ControlEvent::kMouseDown : ControlEvent::kMouseUp, "mouse");
  const QStringView x = words.next();
  const QStringView y = words.next();
  if (y.isEmpty()) {
    throw BadLine{QStringLiteral("mouse wants X and Y in twips")};
  }
  input.x_twips = read_twips(x);
  input.y_twips = read_twips(y);
  expect_end(words);
}

void read_set(Words& words, ScriptedInput& input) {
  const QStringView target = words.next();
  const qsizetype dot = target.indexOf(u'.');
  const QStringView control = dot < 0 ? target : target.first(dot);
  const QStringView property = dot < 0 ? QStringView() : target.sliced(dot + 1);
  bool known = false;
  for (const Settable& settable : kSettable) {
    known = known || (settable.control == control && settable.property == property);
  }
  if (!known) {
    QStringList names;
    for (const Settable& settable : kSettable) {
      names.append(settable.control.toString() + u'.' + settable.property.toString());
    }
    throw BadLine{QStringLiteral("\"%1\" cannot be set (only %2)")
                      .arg(target, names.join(QStringLiteral(", ")))};
  }
  input.control = control.toString();
  input.property = property.toString();
  input.text = words.rest().trimmed().toString();
  Words value(input.text);
  const QStringView day = value.next();
  const QDate date = read_date(day);
  if (!date.isValid()) {
    throw BadLine{QStringLiteral("%1 wants a date and time YYYY-MM-DD HH:MM:SS, not \"%2\"")
                      .arg(target, input.text)};
  }
  input.value = read_time_on(date, value.next());
  expect_end(value);
}

ScriptedInput read_line(QStringView line, QDate first_day) {
  Words words(line);
  ScriptedInput input;
  input.when = read_moment(words, first_day);
  input.action = read_action(words.next());
  switch (input.action) {
    case Action::kClipboard: {
      // The text is verbatim after one blank, trailing blanks and all.
      const QStringView rest = words.rest();
      input.text = rest.isEmpty() ? QString() : rest.sliced(1).toString();
      break;
    }
    case Action::kClick:
      input.control = read_control(words.next(), ControlEvent::kClick, "click");
      expect_end(words);
      break;
    case Action::kMouse:
      read_mouse(words, input);
      break;
    case Action::kSet:
      read_set(words, input);
      break;
    case Action::kRestart:
    case Action::kCrash:
    case Action::kLaunch:
      expect_end(words);
      break;
  }
  return input;
}

}  // namespace

const char* action_name(ScriptedInput::Action action) {
  switch (action) {
    case Action::kClipboard:
      return "clipboard";
    case Action::kClick:
      return "click";
    case Action::kMouse:
      return "mouse";
    case Action::kSet:
      return "set";
    case Action::kRestart:
      return "restart";
    case Action::kCrash:
      return "crash";
    case Action::kLaunch:
      return "launch";
  }
  return "";
}

std::optional<InputScript> InputScript::parse(const QString& text, DateTime start, QString* error) {
  const QDate first_day = date_time::to_qdatetime(start).date();
  InputScript script;
  // Whether the program runs at this point of the script: a crash or the Exit button ends it,
  // a launch starts it again, and nothing can be clicked in between.
  bool running = true;
  int ended_at_line = 0;
  const QStringList lines = text.split(u'\n');
  for (int index = 0; index < lines.size(); ++index) {
    QStringView line = lines[index];
    if (line.endsWith(u'\r')) {
      line.chop(1);
    }
    const int number = index + 1;
    if (line.trimmed().isEmpty() || line.trimmed().startsWith(u'#')) {
      continue;
    }
    try {
      ScriptedInput input = read_line(line, first_day);
      input.line = number;
      if (date_time::to_linear_ms(input.when) < date_time::to_linear_ms(start)) {
        throw BadLine{QStringLiteral("%1 is before the simulation starts (%2)")
                          .arg(date_time::to_iso_ms(input.when), date_time::to_iso_ms(start))};
      }
      if (!script.events_.empty() && date_time::to_linear_ms(input.when) <
                                         date_time::to_linear_ms(script.events_.back().when)) {
        throw BadLine{QStringLiteral("%1 is earlier than line %2; lines go in time order")
                          .arg(date_time::to_iso_ms(input.when))
                          .arg(script.events_.back().line)};
      }
      const bool to_program = input.action == Action::kClick || input.action == Action::kMouse ||
                              input.action == Action::kSet || input.action == Action::kRestart;
      if (input.action == Action::kLaunch && running) {
        throw BadLine{QStringLiteral("launch while the program runs (crash or Exit first)")};
      }
      if ((to_program || input.action == Action::kCrash) && !running) {
        throw BadLine{QStringLiteral("%1 while the program is not running (it ended at line %2)")
                          .arg(QString::fromLatin1(action_name(input.action)))
                          .arg(ended_at_line)};
      }
      if (input.action == Action::kCrash ||
          (input.action == Action::kClick && input.control == u"Command1")) {
        running = false;
        ended_at_line = number;
      } else if (input.action == Action::kLaunch) {
        running = true;
      }
      script.events_.push_back(std::move(input));
    } catch (const BadLine& bad) {
      if (error != nullptr) {
        *error = QStringLiteral("line %1: %2").arg(number).arg(bad.why);
      }
      return std::nullopt;
    }
  }
  return script;
}

std::optional<InputScript> InputScript::load(const QString& path, DateTime start, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error != nullptr) {
      *error = QStringLiteral("cannot read the input script %1").arg(path);
    }
    return std::nullopt;
  }
  QString why;
  auto script = parse(QString::fromUtf8(file.readAll()), start, &why);
  if (!script && error != nullptr) {
    *error = QStringLiteral("input script %1, %2").arg(path, why);
  }
  return script;
}

}  // namespace vantora::sim
