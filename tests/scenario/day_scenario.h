#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "core/shell/player.h"
#include "sim/simulation.h"
#include "support/schedule_fixture.h"
#include "support/trace_lines.h"

namespace vantora::testing {

// What the trace says happened, one line a moment, "HH:MM:SS.mmm what; what": what went on air
// (mode, file@start, top+height), the status word in brackets, the designer's keys, the overlays,
// the forms and the input. A stop goes with the next start and the filler's own captions with its
// clip, so neither is listed; the warnings before a break are counted instead. `more` names
// further events a scenario witnesses; an empty name leaves the event out.
inline std::vector<std::string> milestones(
    const std::vector<TracedEvent>& trace,
    const std::function<std::string(const TracedEvent&)>& more = {}) {
  std::vector<std::string> seen;
  std::int64_t line_ms = 0;
  for (const TracedEvent& e : trace) {
    const std::string type = e.type();
    const std::string name = e.text("name");
    const nlohmann::json& v = e.fields.value("value", nlohmann::json());
    const std::string value = v.is_string() ? v.get<std::string>() : v.dump();
    std::string what;
    if (type == "media") {
      what = e.text("mode") + ' ' +
             QString::fromStdString(e.text("file")).section(u'/', -1).toStdString() + '@' +
             std::to_string(int(e.number("start"))) +
             (e.fields.value("ok", false) ? ' ' + std::to_string(int(e.number("top"))) + '+' +
                                                std::to_string(int(e.number("height")))
                                          : " broken");
    } else if (type == "keys" && e.text("keys") != "P") {
      what = "keys " + e.text("keys");
    } else if (type == "input") {
      what = "input " + e.text("action") + ' ' + e.text("control") + e.text("value");
    } else if (type == "clipboard" && e.text("by") == "player") {
      what = "clipboard answered " + e.text("value");
    } else if (type == "control" &&
               (name == "Restart" || name == "Player" ||
                (name == "Text3" && value.find('/') == std::string::npos && value != "FILLER"))) {
      what = name == "Text3" ? '[' + value + ']' : name + ' ' + value;
    } else if (type == "control" && name == "T_Time" && e.text("prop") == "Visible") {
      what = value == "true" ? "clock shown" : "clock hidden";
    }
    if (what.empty() && more) {
      what = more(e);
    }
    if (what.empty()) {
      continue;
    }
    // The keys of a hand-over (1.5 s) join the line of the clip, marked with their delay.
    const std::int64_t ms = date_time::to_linear_ms(e.at);
    if (!seen.empty() && (ms == line_ms || (type == "keys" && ms - line_ms <= 1500))) {
      seen.back() += ms == line_ms ? "; " + what : " +" + std::to_string(ms - line_ms) + ' ' + what;
    } else {
      seen.push_back(date_time::to_iso_ms(e.at).mid(11).toStdString() + ' ' + what);
      line_ms = ms;
    }
  }
  return seen;
}

// The whole program on the simulated runtime over a schedule made by init-db: the scenario
// writes playlist, filler and settings rows, lists its media in the manifest and puts its filler
// clips in folders of the data folder, then runs the program from start-up.
class DayScenario : public ScheduleFixture {
 protected:
  void TearDown() override {
    simulation_.reset();
    ScheduleFixture::TearDown();
  }

  void add_row(const PlaylistRow& row, int day = 6) {
    ScheduleFixture::add_row(row, day);
    media(row.file, 3600);
  }

  // A folder of filler clips inside the data folder, each clip `length_s` long.
  QString filler_folder(const QString& name, const QStringList& clips, double length_s) {
    QDir(folder_.path()).mkpath(name);
    const QString path = folder_.filePath(name);
    for (const QString& clip : clips) {
      QFile file(path + u'/' + clip);
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
      media(path + u'/' + clip, length_s);
    }
    return path;
  }

  // A picture file in the data folder; the simulated loader knows a picture by its first bytes.
  QString picture(const char* name) {
    const QString path = folder_.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG\r\n\x1a\n", 8);
    return path;
  }

  // An ad of the tool's adv table, valid all month, listed in the manifest unless it is no media.
  enum class File { kMedia, kNotMedia };
  void add_ad(const QString& time, const QString& file, double length_s, int priority,
              File kind = File::kMedia) {
    tool_exec(QStringLiteral("INSERT INTO adv (item_name, time, caption, first_date, last_date, "
                             "media_path, duration, hide_caption, ad_flag, Priority) VALUES "
                             "('ad', '%1', 'Ad', '2026-12-01 00:00:00', '2026-12-31 00:00:00', "
                             "'%2', %3, 0, -1, %4)")
                  .arg(time, file)
                  .arg(length_s)
                  .arg(priority));
    if (kind == File::kMedia && !manifest_.contains(file + u'\t')) {
      media(file, length_s);
    }
  }
  // A break slot; kind 1 is a news break.
  void add_slot(const QString& time, int kind = 0) {
    tool_exec(QStringLiteral("INSERT INTO Slot_adv (slot_name, time, slot_kind) VALUES "
                             "('break', '%1', %2)")
                  .arg(time)
                  .arg(kind));
  }

  void media(const QString& path, double length_s) {
    manifest_ += path + u'\t' + QString::number(length_s) + u'\n';
  }

  // `before_start` arranges the desktop before the program starts (a window left open, say).
  // `script` is what is done from outside, as `simulate --input` reads it.
  sim::Simulation& simulation(DateTime start,
                              const std::function<void(sim::Simulation&)>& before_start = {},
                              const QString& script = {}) {
    start_ = start;
    QFile manifest(folder_.filePath(QStringLiteral("media.tsv")));
    EXPECT_TRUE(manifest.open(QIODevice::WriteOnly));
    manifest.write(manifest_.toUtf8());
    manifest.close();
    sim::SimulationOptions options;
    options.data_folder = folder_.path();
    options.start = start;
    options.trace_path = folder_.filePath(QStringLiteral("trace.jsonl"));
    options.media_durations_path = manifest.fileName();
    options.designer_command = designer_;
    QString error;
    options.input = sim::InputScript::parse(script, start, &error).value_or(sim::InputScript());
    EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
    simulation_ = std::make_unique<sim::Simulation>(options);
    if (before_start) {
      before_start(*simulation_);
    }
    EXPECT_TRUE(simulation_->start());
    return *simulation_;
  }

  Player& player() {
    Player* p = simulation_->application().player();
    EXPECT_NE(p, nullptr);
    return *p;
  }

  std::vector<TracedEvent> events(const std::string& type) {
    simulation_->trace().flush();
    return read_events(folder_.filePath(QStringLiteral("trace.jsonl")), type);
  }

  // The texts Text3 took, in order.
  std::vector<std::string> text3() {
    std::vector<std::string> texts;
    for (const TracedEvent& e : events("control")) {
      if (e.text("form") == "Player" && e.text("name") == "Text3") {
        texts.push_back(e.text("value"));
      }
    }
    return texts;
  }

  std::vector<TracedEvent> media_events(const std::string& mode) {
    std::vector<TracedEvent> found;
    for (TracedEvent& e : events("media")) {
      if (e.text("mode") == mode) {
        found.push_back(std::move(e));
      }
    }
    return found;
  }

  // The first column of every row the query answers, as text.
  std::vector<std::string> column(const char* sql) {
    std::vector<std::string> values;
    QSqlQuery query(tool());
    EXPECT_TRUE(query.exec(QString::fromLatin1(sql))) << sql;
    while (query.next()) {
      values.push_back(query.value(0).toString().toStdString());
    }
    return values;
  }

  // How many error lines the procedure logged.
  std::size_t error_lines(const std::string& procedure) {
    std::size_t lines = 0;
    for (const TracedEvent& e : events("error")) {
      lines += e.text("procedure") == procedure ? 1 : 0;
    }
    return lines;
  }

  // "name x,y wxh z" for each window placed at that moment.
  std::vector<std::string> windows_at(DateTime moment) {
    std::vector<std::string> placed;
    for (const TracedEvent& e : events("window")) {
      if (e.at == moment) {
        placed.push_back(QStringLiteral("%1 %2,%3 %4x%5 %6")
                             .arg(QString::fromStdString(e.text("name")))
                             .arg(e.number("x"))
                             .arg(e.number("y"))
                             .arg(e.number("w"))
                             .arg(e.number("h"))
                             .arg(QString::fromStdString(e.text("z")))
                             .toStdString());
      }
    }
    return placed;
  }

  static QString file_name(const TracedEvent& e) {
    return QString::fromStdString(e.text("file")).section(u'/', -1);
  }

  // A moment of the next day, Monday.
  static DateTime monday(int hour, int minute, int second = 0) {
    return date_time::from_parts(2026, 12, 7, hour, minute, second);
  }
  double seconds_after_start(DateTime moment) const {
    return static_cast<double>(date_time::to_linear_ms(moment) - date_time::to_linear_ms(start_)) /
           1000.0;
  }

  QString manifest_;
  QString designer_ = sim::SimulationOptions().designer_command;
  DateTime start_;
  std::unique_ptr<sim::Simulation> simulation_;
};

}  // namespace vantora::testing
