#pragma once

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <memory>

#include "base/date_time.h"
#include "core/database/data_environment.h"
#include "platform/sql/sqlite_schedule_store.h"

namespace vantora::testing {

// One playlist row as the scheduling tool writes it; times are "HH:MM:SS" of the row's day.
struct PlaylistRow {
  QString start;
  QString end;
  QString file = QStringLiteral("/media/movie.mp4");
  int start_offset = 0;
  int end_offset = 1800;
  bool show_start = false;
  bool show_end = false;
  bool started = false;
  bool completed = false;
  QString saved_position = QStringLiteral("NULL");
  QString logo_file = QStringLiteral("NO");
  int picture_top = 0;
  int picture_height = 0;
  bool start_now = false;
};

inline PlaylistRow one_row_show(const char* start, const char* end, const char* file) {
  PlaylistRow row{.start = start, .end = end, .file = file};
  row.show_start = true;
  row.show_end = true;
  return row;
}

// A fresh schedule made by init-db in a temporary folder, a data environment on it, and a
// second plain SQL connection standing for the scheduling tool. The day is Sunday 6 December 2026.
class ScheduleFixture : public ::testing::Test {
 protected:
  static DateTime today() { return date_time::from_parts(2026, 12, 6); }
  static DateTime at(int hour, int minute, int second = 0, int ms = 0) {
    return date_time::from_parts(2026, 12, 6, hour, minute, second, ms);
  }
  static QVariant tod(int hour, int minute, int second = 0, int ms = 0) {
    return QVariant::fromValue(date_time::from_time_of_day(hour, minute, second, ms));
  }
  static QVariant date(DateTime value) { return QVariant::fromValue(value); }
  static QString day_text(const QString& time_of_day, int day = 6) {
    return QStringLiteral("2026-12-%1 ").arg(day, 2, 10, QLatin1Char('0')) + time_of_day;
  }

  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    ASSERT_EQ(platform::create_schedule(folder_.path()), platform::CreateResult::kCreated);
    data_ = std::make_unique<db::DataEnvironment>(platform::sqlite_store_factory());
    data_->set_data_folder(folder_.path());
  }

  void TearDown() override {
    data_.reset();
    if (!tool_name_.isEmpty()) {
      { QSqlDatabase::database(tool_name_).close(); }
      QSqlDatabase::removeDatabase(tool_name_);
    }
  }

  QString db_path() const { return folder_.filePath(QStringLiteral("wizard.db")); }

  // The scheduling tool's own connection.
  QSqlDatabase tool() {
    if (tool_name_.isEmpty()) {
      tool_name_ = QUuid::createUuid().toString();
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), tool_name_);
      db.setDatabaseName(db_path());
      db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
      EXPECT_TRUE(db.open());
    }
    return QSqlDatabase::database(tool_name_);
  }

  void tool_exec(const QString& sql) {
    QSqlQuery query(tool());
    ASSERT_TRUE(query.exec(sql)) << qPrintable(sql) << ": " << qPrintable(query.lastError().text());
  }

  QVariant tool_value(const QString& sql) {
    QSqlQuery query(tool());
    EXPECT_TRUE(query.exec(sql)) << qPrintable(query.lastError().text());
    EXPECT_TRUE(query.next()) << qPrintable(sql);
    return query.value(0);
  }

  void add_row(const PlaylistRow& row, int day = 6) {
    auto flag = [](bool value) { return value ? QStringLiteral("-1") : QStringLiteral("0"); };
    tool_exec(
        QStringLiteral(
            "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, "
            "start_offset, end_offset, show_start, show_end, started, completed, "
            "saved_position, logo_file, picture_top, picture_height, start_now, caption, text6) "
            "VALUES ('%1', '%2', '%3', %4, %5, %6, %7, %8, %9, %10, '%11', %12, "
            "%13, %14, 'Tonight', '')")
            .arg(day_text(row.start, day), day_text(row.end, day), row.file)
            .arg(row.start_offset)
            .arg(row.end_offset)
            .arg(flag(row.show_start), flag(row.show_end), flag(row.started), flag(row.completed),
                 row.saved_position, row.logo_file)
            .arg(row.picture_top)
            .arg(row.picture_height)
            .arg(flag(row.start_now)));
  }

  void add_filler_row(const QString& folder, const QString& from, const QString& until,
                      int day_of_week) {
    tool_exec(QStringLiteral("INSERT INTO filler (folder_path, start_time, end_time, day_of_week) "
                             "VALUES ('%1', '%2', '%3', %4)")
                  .arg(folder, from, until)
                  .arg(day_of_week));
  }

  // A fresh environment on the same folder: what a restarted player sees.
  std::unique_ptr<db::DataEnvironment> reopened() const {
    auto data = std::make_unique<db::DataEnvironment>(platform::sqlite_store_factory());
    data->set_data_folder(folder_.path());
    return data;
  }

  QTemporaryDir folder_;
  std::unique_ptr<db::DataEnvironment> data_;
  QString tool_name_;
};

// Expects a statement to raise a RuntimeError with the given number whose description names
// the given text.
#define EXPECT_RUNTIME_ERROR_SAYING(statement, expected_number, text)                \
  do {                                                                               \
    try {                                                                            \
      statement;                                                                     \
      ADD_FAILURE() << "no error from " #statement;                                  \
    } catch (const ::vantora::RuntimeError& error) {                                 \
      EXPECT_EQ(error.number(), expected_number) << qPrintable(error.description()); \
      EXPECT_TRUE(error.description().contains(QStringLiteral(text)))                \
          << qPrintable(error.description());                                        \
    }                                                                                \
  } while (false)

#define EXPECT_RUNTIME_ERROR(statement, expected_number) \
  EXPECT_RUNTIME_ERROR_SAYING(statement, expected_number, "")

}  // namespace vantora::testing
