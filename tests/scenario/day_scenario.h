#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "core/shell/player.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "scheduler/day_fixture.h"
#include "sim/simulation.h"

namespace vantora::testing {

inline PlaylistRow one_row_show(const char* start, const char* end, const char* file) {
  PlaylistRow row{.start = start, .end = end, .file = file};
  row.show_start = true;
  row.show_end = true;
  return row;
}

// One traced event with its virtual time.
struct TracedEvent {
  DateTime at;
  nlohmann::json fields;

  std::string type() const { return text("type"); }
  std::string text(const char* field) const {
    const auto found = fields.find(field);
    return found != fields.end() && found->is_string() ? found->get<std::string>() : std::string();
  }
  double number(const char* field) const {
    const auto found = fields.find(field);
    return found != fields.end() && found->is_number() ? found->get<double>() : -1.0;
  }
};

// The whole program on the simulated runtime over a schedule made by init-db: the scenario
// writes playlist, filler and settings rows, lists its media in the manifest and puts its filler
// clips in folders of the data folder, then runs the program from start-up.
class DayScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    ASSERT_EQ(platform::create_schedule(folder_.path()), platform::CreateResult::kCreated);
  }

  void TearDown() override {
    simulation_.reset();
    if (!tool_name_.isEmpty()) {
      { QSqlDatabase::database(tool_name_).close(); }
      QSqlDatabase::removeDatabase(tool_name_);
    }
  }

  // The scheduling tool's own connection.
  void sql(const QString& statement) {
    if (tool_name_.isEmpty()) {
      tool_name_ = QUuid::createUuid().toString();
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), tool_name_);
      db.setDatabaseName(folder_.filePath(QStringLiteral("wizard.db")));
      db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
      ASSERT_TRUE(db.open());
    }
    QSqlQuery query(QSqlDatabase::database(tool_name_));
    ASSERT_TRUE(query.exec(statement)) << qPrintable(statement);
  }
  QVariant sql_value(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(tool_name_));
    EXPECT_TRUE(query.exec(statement) && query.next()) << qPrintable(statement);
    return query.value(0);
  }

  static QString day_text(int day, const QString& time_of_day) {
    return QStringLiteral("2026-12-%1 ").arg(day, 2, 10, QLatin1Char('0')) + time_of_day;
  }

  void add_row(const PlaylistRow& row, int day = 6) {
    auto flag = [](bool value) { return value ? QStringLiteral("-1") : QStringLiteral("0"); };
    sql(QStringLiteral(
            "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, "
            "start_offset, end_offset, show_start, show_end, started, completed, "
            "saved_position, logo_file, picture_top, picture_height, start_now, caption, text6) "
            "VALUES ('%1', '%2', '%3', %4, %5, %6, %7, %8, %9, %10, '%11', %12, %13, "
            "%14, 'Tonight', '')")
            .arg(day_text(day, row.start), day_text(day, row.end), row.file)
            .arg(row.start_offset)
            .arg(row.end_offset)
            .arg(flag(row.show_start), flag(row.show_end), flag(row.started), flag(row.completed),
                 row.saved_position, row.logo_file)
            .arg(row.picture_top)
            .arg(row.picture_height)
            .arg(flag(row.start_now)));
    media(row.file, 3600);
  }

  void add_filler_row(const QString& folder, const QString& from, const QString& until,
                      int day_of_week) {
    sql(QStringLiteral("INSERT INTO filler (folder_path, start_time, end_time, day_of_week) "
                       "VALUES ('%1', '%2', '%3', %4)")
            .arg(folder, from, until)
            .arg(day_of_week));
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

  void media(const QString& path, double length_s) {
    manifest_ += path + u'\t' + QString::number(length_s) + u'\n';
  }

  sim::Simulation& simulation(DateTime start) {
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
    simulation_ = std::make_unique<sim::Simulation>(options);
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
    QFile file(folder_.filePath(QStringLiteral("trace.jsonl")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<TracedEvent> found;
    for (const QByteArray& raw : file.readAll().split('\n')) {
      if (raw.isEmpty()) {
        continue;
      }
      TracedEvent e{DateTime(), nlohmann::json::parse(raw.toStdString())};
      if (e.type() != type) {
        continue;
      }
      values::parse_date_time(QString::fromStdString(e.text("t")).replace(u'T', u' '), &e.at);
      found.push_back(std::move(e));
    }
    return found;
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

  static DateTime at(int hour, int minute, int second = 0, int day = 6) {
    return date_time::from_parts(2026, 12, day, hour, minute, second);
  }
  double seconds_after_start(DateTime moment) const {
    return static_cast<double>(date_time::to_linear_ms(moment) - date_time::to_linear_ms(start_)) /
           1000.0;
  }

  QTemporaryDir folder_;
  QString manifest_;
  QString tool_name_;
  DateTime start_;
  std::unique_ptr<sim::Simulation> simulation_;
};

}  // namespace vantora::testing
