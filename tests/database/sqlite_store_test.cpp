#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include "base/errors.h"
#include "base/values.h"
#include "core/database/schema.h"
#include "support/schedule_fixture.h"

namespace vantora::testing {
namespace {

using SqliteStoreTest = ScheduleFixture;

TEST_F(SqliteStoreTest, InitDbGivesEveryTableItsColumnsAtTheirOrdinalsAndAKey) {
  for (const db::schema::TableDefinition& table : db::schema::tables()) {
    const ports::TableContents contents = data_->database().read_table(table.name);
    ASSERT_EQ(contents.layout.columns.size(), table.columns.size() + 1) << qPrintable(table.name);
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
      EXPECT_EQ(contents.layout.columns[i].name, table.columns[i].name);
      EXPECT_EQ(contents.layout.columns[i].kind, table.columns[i].kind) << qPrintable(table.name);
    }
    EXPECT_EQ(contents.layout.key_column, static_cast<int>(table.columns.size()));
  }
  // Every recordset opens on the new file; only the two settings tables hold a row.
  for (db::Recordset* rs : data_->recordsets()) {
    rs->open();
    const bool settings = rs == &data_->rsPlayer_INI || rs == &data_->rsLottery;
    EXPECT_EQ(rs->record_count(), settings ? 1 : 0) << qPrintable(rs->command());
  }
  EXPECT_EQ(tool_value("PRAGMA journal_mode").toString(), "wal");
  // A second init-db leaves the schedule alone.
  tool_exec(QStringLiteral("INSERT INTO News (news_name) VALUES ('kept')"));
  EXPECT_EQ(platform::create_schedule(folder_.path()), platform::CreateResult::kAlreadyExists);
  EXPECT_EQ(tool_value("SELECT count(*) FROM News").toInt(), 1);
}

TEST(ScheduleFolderTest, MissingOrJetOnlyFolderRaisesAClearDatabaseError) {
  QTemporaryDir folder;
  db::DataEnvironment data(platform::sqlite_store_factory());
  data.set_data_folder(folder.path());
  EXPECT_RUNTIME_ERROR_SAYING(data.rsplaylist.open(), err::kDatabaseError, "init-db");
  EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("wizard.db"))));

  QFile jet(folder.filePath(QStringLiteral("Wizard.mdb")));
  ASSERT_TRUE(jet.open(QIODevice::WriteOnly));
  jet.close();
  EXPECT_RUNTIME_ERROR_SAYING(data.rsplaylist.open(), err::kDatabaseError, "converted");
  EXPECT_FALSE(data.rsplaylist.is_open());

  QFile garbage(folder.filePath(QStringLiteral("wizard.db")));
  ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
  garbage.write(QByteArray(4096, 'x'));
  garbage.close();
  EXPECT_RUNTIME_ERROR(data.rsplaylist.open(), err::kDatabaseError);

  db::DataEnvironment without_backend;
  without_backend.set_data_folder(folder.path());
  EXPECT_RUNTIME_ERROR(without_backend.rsNews.open(), err::kDatabaseError);
}

// A missing table is an error naming it; a table without a key is read by row number.
TEST_F(SqliteStoreTest, MissingTableIsAnErrorATableWithoutKeyFallsBackToRowNumber) {
  tool_exec(QStringLiteral("DROP TABLE News_Slot"));
  EXPECT_RUNTIME_ERROR_SAYING(data_->rsNews_Slot.open(), err::kDatabaseError, "News_Slot");
  EXPECT_FALSE(data_->rsNews_Slot.is_open());
  tool_exec(QStringLiteral("DROP TABLE News"));
  tool_exec(QStringLiteral("CREATE TABLE News (a TEXT, news_time DATETIME, folder_path TEXT)"));
  tool_exec(
      QStringLiteral("INSERT INTO News VALUES ('x', '08:00:00', 'f'), ('x', '08:00:00', 'f')"));
  QStringList notices;
  data_->set_notice_sink([&](const QString& notice) { notices << notice; });
  db::Recordset& rs = data_->rsNews;
  rs.open();
  rs.requery();
  rs.close();
  rs.open();
  ASSERT_EQ(notices.size(), 1);
  EXPECT_TRUE(notices.first().contains(QStringLiteral("News")));
  rs.move_last();
  rs.set_field(2, QStringLiteral("g"));
  rs.update();
  EXPECT_EQ(tool_value("SELECT group_concat(folder_path, ',') FROM News").toString(), "f,g");
}

TEST_F(SqliteStoreTest, RowsWrittenByAnotherConnectionAppearAfterRequery) {
  db::Recordset& rs = data_->rsplaylist;
  rs.open();
  rs.add_new();
  rs.set_field(2, QStringLiteral("mine"));
  rs.update();
  tool_exec(QStringLiteral("INSERT INTO playlist (file_name) VALUES ('theirs')"));
  EXPECT_EQ(rs.record_count(), 1);
  rs.requery();
  EXPECT_EQ(rs.record_count(), 2);

  // A row the tool deleted meanwhile cannot be updated: a database error, no silent loss.
  tool_exec(QStringLiteral("DELETE FROM playlist WHERE file_name = 'mine'"));
  rs.move_first();
  rs.set_field(16, 1.0);
  EXPECT_RUNTIME_ERROR(rs.update(), err::kDatabaseError);
  EXPECT_TRUE(values::is_null(rs.field(16)));  // the row shows what is stored, not the failed write
  rs.delete_current();                         // deleting it again is harmless
}

TEST_F(SqliteStoreTest, ARequeryOfAnUntouchedTableKeepsItsRowsUntilSomeoneWrites) {
  tool_exec(
      QStringLiteral("INSERT INTO adv (time, Priority) VALUES ('10:00:00', 2), ('10:00:00', 1)"));
  db::Recordset& rs = data_->rsAdv;
  rs.open();
  rs.set_sort(QStringLiteral("time, Priority"));
  rs.move_last();
  rs.requery();  // nothing changed: back on the first row, still sorted
  EXPECT_EQ(rs.field(12).toInt(), 1);
  rs.requery();
  tool_exec(QStringLiteral("UPDATE adv SET Priority = 0 WHERE Priority = 2"));
  rs.requery();  // the tool's commit is seen
  EXPECT_EQ(rs.field(12).toInt(), 0);
  tool_exec(QStringLiteral("INSERT INTO adv (time, Priority) VALUES ('09:00:00', 5)"));
  rs.requery();
  EXPECT_EQ(rs.record_count(), 3);
  EXPECT_EQ(rs.field(12).toInt(), 5);
}

// The rows a recordset updated itself are kept through a requery, unless the update moved a row
// in the sort order or someone else wrote the table meanwhile.
TEST_F(SqliteStoreTest, ARequeryAfterItsOwnUpdatesReadsAgainOnlyWhenItMust) {
  tool_exec(QStringLiteral(
      "INSERT INTO playlist (seg_start_time, file_name) VALUES ('10:00:00', 'a'), ('11:00:00', "
      "'b')"));
  db::Recordset& rs = data_->rsplaylist;
  rs.open();
  rs.set_sort(QStringLiteral("seg_start_time"));
  rs.set_field(16, 1.0);
  rs.update();
  rs.requery();
  EXPECT_EQ(rs.field(2).toString(), "a");
  EXPECT_EQ(rs.field(16).toDouble(), 1.0);
  rs.set_field(0, QStringLiteral("12:00:00"));
  rs.update();
  rs.requery();
  EXPECT_EQ(rs.field(2).toString(), "b") << "the update moved the row to the end";
  tool_exec(QStringLiteral("UPDATE playlist SET caption = 'tool'"));
  rs.set_field(16, 2.0);
  rs.update();
  rs.requery();
  EXPECT_EQ(rs.field(5).toString(), "tool");
}

TEST_F(SqliteStoreTest, LockHeldByTheToolCostsOneErrorAfterTheBusyTimeout) {
  tool_exec(QStringLiteral("INSERT INTO playlist (file_name) VALUES ('a')"));
  db::Recordset& rs = data_->rsplaylist;
  rs.open();
  tool_exec(QStringLiteral("BEGIN IMMEDIATE"));
  tool_exec(QStringLiteral("UPDATE playlist SET caption = 'tool'"));
  // Reading goes on in WAL mode while the tool writes.
  rs.requery();
  EXPECT_EQ(rs.record_count(), 1);
  rs.set_field(16, 42.0);
  QElapsedTimer timer;
  timer.start();
  EXPECT_RUNTIME_ERROR(rs.update(), err::kDatabaseLocked);
  EXPECT_GE(timer.elapsed(), platform::kBusyTimeoutMs - 50);
  EXPECT_LT(timer.elapsed(), 3 * platform::kBusyTimeoutMs);
  tool_exec(QStringLiteral("COMMIT"));
  // Once the lock is gone the next write succeeds.
  rs.set_field(16, 43.0);
  rs.update();
  EXPECT_EQ(tool_value("SELECT saved_position || caption FROM playlist").toString(), "43.0tool");
}

// A private store commits its writes in batches: all of them, a batch's unfinished tail too, are
// in the file once it closes, as a killed simulated program's writes must be for its next launch.
TEST(PrivateStoreTest, EveryWriteIsInTheFileOnceTheStoreCloses) {
  QTemporaryDir folder;
  ASSERT_EQ(platform::create_schedule(folder.path()), platform::CreateResult::kCreated);
  const QString table = QStringLiteral("playlist");
  constexpr int kRows = 1001;  // five writes for two rows: a few batches and a part
  constexpr int kFileName = 2;
  constexpr int kSavedPosition = 16;
  {
    const auto store =
        platform::open_schedule(folder.path(), platform::SqliteScheduleStore::Sharing::kPrivate);
    for (int i = 0; i < kRows; ++i) {
      const std::int64_t key = store->insert_row(table, {{kFileName, QString::number(i)}});
      store->update_row(table, key, {{kSavedPosition, i + 0.5}});
      if (i % 2 == 1) {
        store->delete_row(table, key);
      }
    }
  }
  const ports::TableContents contents = platform::open_schedule(folder.path())->read_table(table);
  ASSERT_EQ(contents.rows.size(), std::size_t{kRows / 2 + 1});
  EXPECT_EQ(contents.rows.back().cells[kFileName].toString(), QString::number(kRows - 1));
  EXPECT_EQ(contents.rows.back().cells[kSavedPosition].toDouble(), kRows - 0.5);
}

// The example of docs/schema.md is what schedule writers copy: it must load and read back.
TEST_F(SqliteStoreTest, DocumentedExampleLoadsAndReads) {
  QFile doc(QStringLiteral(VANTORA_SOURCE_DIR "/docs/schema.md"));
  ASSERT_TRUE(doc.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(doc.readAll());
  const qsizetype begin = text.indexOf(QStringLiteral("```sql\n"));
  ASSERT_GE(begin, 0);
  const qsizetype end = text.indexOf(QStringLiteral("```"), begin + 7);
  QString sql = text.mid(begin + 7, end - begin - 7);
  sql.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
  for (const QString& statement : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    if (!statement.trimmed().isEmpty()) {
      tool_exec(statement);
    }
  }
  db::Recordset& playlist = data_->rsplaylist;
  playlist.open();
  playlist.set_sort(QStringLiteral("seg_start_time"));
  EXPECT_EQ(playlist.record_count(), 2);
  EXPECT_TRUE(values::is_true(playlist.field(14)));
  playlist.move_last();
  EXPECT_EQ(values::to_date_time(playlist.field(1)), date_time::from_parts(2026, 12, 6, 21, 40));
  data_->rsAdv.open();
  EXPECT_EQ(values::to_date_time(data_->rsAdv.field(1)), date_time::from_time_of_day(20, 30, 0));
}

}  // namespace
}  // namespace vantora::testing
