#pragma once

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <memory>

#include "core/database/data_environment.h"
#include "platform/sql/sqlite_schedule_store.h"

namespace vantora::testing {

// A fresh schedule made by init-db in a temporary folder, a data environment on it, and a
// second plain SQL connection standing for the scheduling tool.
class ScheduleFixture : public ::testing::Test {
 protected:
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

// Expects a statement to raise a RuntimeError with the given number.
#define EXPECT_RUNTIME_ERROR(statement, expected_number)                             \
  do {                                                                               \
    try {                                                                            \
      statement;                                                                     \
      ADD_FAILURE() << "no error from " #statement;                                  \
    } catch (const ::vantora::RuntimeError& error) {                                 \
      EXPECT_EQ(error.number(), expected_number) << qPrintable(error.description()); \
    }                                                                                \
  } while (false)

}  // namespace vantora::testing
