#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <functional>
#include <vector>

#include "base/errors.h"
#include "base/values.h"
#include "core/database/schema.h"
#include "support/schedule_fixture.h"

// The recordsets over the SQLite schedule, as the player reads and writes them while the
// scheduling tool works on the same file.
namespace vantora::testing {
namespace {

using namespace Qt::StringLiterals;

using RecordsetTest = ScheduleFixture;

std::vector<QString> column_texts(db::Recordset& rs, int ordinal) {
  std::vector<QString> texts;
  for (rs.requery(); !rs.eof(); rs.move_next()) {
    const QVariant value = rs.field(ordinal);
    texts.push_back(values::is_null(value) ? u"Null"_s : values::to_text(value));
  }
  return texts;
}

db::Recordset& opened(db::Recordset& rs) {
  rs.open();
  return rs;
}

// Sets one field of the current row and writes the row.
void write(db::Recordset& rs, int ordinal, const QVariant& value) {
  rs.set_field(ordinal, value);
  rs.update();
}

// Closed, empty, past the end: each raises its own number, and a bookmark survives a requery.
TEST_F(RecordsetTest, MovesBookmarksAndTheErrorsOfEachState) {
  db::Recordset& rs = data_->rsNews;
  const std::vector<std::function<void()>> reads{
      [&] { rs.move_first(); },    [&] { rs.move_next(); },      [&] { rs.field(0); },
      [&] { rs.set_field(0, 1); }, [&] { rs.delete_current(); }, [&] { rs.bookmark(); }};
  for (const auto& read : reads) {
    EXPECT_RUNTIME_ERROR(read(), err::kOperationNotAllowedClosed);
  }
  EXPECT_RUNTIME_ERROR(rs.requery(), err::kOperationNotAllowedClosed);
  EXPECT_RUNTIME_ERROR(rs.close(), err::kOperationNotAllowedClosed);
  rs.open();
  EXPECT_RUNTIME_ERROR(rs.open(), 3705);
  EXPECT_TRUE(rs.bof() && rs.eof());
  rs.set_sort(u"news_time"_s);  // an empty table still sorts
  for (const auto& read : reads) {
    EXPECT_RUNTIME_ERROR(read(), err::kBofOrEof);
  }

  tool_exec(
      "INSERT INTO News (news_name, news_time) VALUES "
      "('c','10:00:00'),('a','08:00:00'),('b','09:00:00')");
  rs.requery();
  EXPECT_EQ(rs.record_count(), 3);
  rs.move_next();
  const db::Bookmark b = rs.bookmark();
  rs.move_last();
  EXPECT_EQ(rs.field(0).toString(), "c");
  rs.move_next();
  EXPECT_TRUE(rs.eof() && !rs.bof());
  EXPECT_RUNTIME_ERROR(rs.field(0), err::kBofOrEof);
  rs.requery();
  rs.go_to(b);
  EXPECT_EQ(rs.field(0).toString(), "b");
  EXPECT_GT(rs.field(3).toLongLong(), 0);  // the key column, after the schedule's columns
  EXPECT_RUNTIME_ERROR(rs.field(4), err::kSubscriptOutOfRange);
  EXPECT_RUNTIME_ERROR(rs.field(-1), err::kSubscriptOutOfRange);
}

TEST_F(RecordsetTest, SortIsStableNullsFirstTextIgnoresCaseNumbersByValue) {
  // Inserted out of order, with a tie on time, a Null time and a Null priority; times of day
  // written in the different stored forms the player reads.
  tool_exec(
      "INSERT INTO adv (item_name, time, Priority) VALUES "
      "('late',   '1899-12-30 21:00:00', 1),"
      "('tie-p2', '10:00:00',            2),"
      "('none',   NULL,                  5),"
      "('tie-p1', '10:00:00.000',        1),"
      "('tie-pN', '10:00',               NULL),"
      "('early',  '09:59:59.5',          9),"
      "('B',      '10:00:00',            10)");
  db::Recordset& rs = opened(data_->rsAdv);
  const struct {
    const char* sort;
    std::vector<QString> order;
  } cases[] = {
      {"time", {"none", "early", "tie-p2", "tie-p1", "tie-pN", "B", "late"}},
      {"time, Priority", {"none", "early", "tie-pN", "tie-p1", "tie-p2", "B", "late"}},
      {"[time] DESC", {"late", "tie-p2", "tie-p1", "tie-pN", "B", "early", "none"}},
      {"item_name", {"B", "early", "late", "none", "tie-p1", "tie-p2", "tie-pN"}},
      {"", {"late", "tie-p2", "none", "tie-p1", "tie-pN", "early", "B"}},
  };
  for (const auto& c : cases) {
    rs.set_sort(QString::fromLatin1(c.sort));  // the sort holds through the requery
    EXPECT_EQ(column_texts(rs, 0), c.order) << c.sort;
  }
  rs.set_sort(u"Priority"_s);
  EXPECT_EQ(column_texts(rs, 12).back(), "10");
  EXPECT_RUNTIME_ERROR(rs.set_sort(u"time, nonesuch"_s), 3265);
  EXPECT_EQ(rs.sort(), u"Priority"_s) << "a bad sort leaves the last one";
}

TEST_F(RecordsetTest, ValuesConvertByColumnKindOnReadAndWrite) {
  tool_exec(
      "INSERT INTO playlist (seg_start_time, seg_end_time, started, completed, show_start, "
      "caption, start_offset) VALUES ('19:30:00', '2026-12-06 00:00:00', -1, 1, NULL, 42, '7')");
  tool_exec("INSERT INTO playlist (seg_start_time, start_offset) VALUES ('not a time', 'seven')");
  db::Recordset& rs = opened(data_->rsplaylist);
  // A time of day alone is day zero; midnight with a date keeps its date.
  EXPECT_EQ(values::to_date_time(rs.field(0)), date_time::from_time_of_day(19, 30, 0));
  EXPECT_EQ(values::to_date_time(rs.field(1)), date_time::from_parts(2026, 12, 6));
  EXPECT_EQ(values::to_int16(rs.field(7)), kTrue);
  EXPECT_EQ(values::to_int16(rs.field(8)), kTrue);
  EXPECT_TRUE(values::is_null(rs.field(14)));
  EXPECT_EQ(rs.field(5).toString(), "42");
  EXPECT_EQ(rs.field(3).toLongLong(), 7);
  rs.move_next();
  EXPECT_RUNTIME_ERROR(rs.field(0), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(rs.field(3), err::kTypeMismatch);

  rs.add_new();
  rs.set_field(0, QVariant::fromValue(date_time::from_parts(2026, 12, 6, 20, 15, 0)));
  rs.set_field(1, u"2026-12-06 21:00:00.250"_s);
  rs.set_field(2, u"new"_s);
  rs.set_field(3, 12.5);         // whole number: half to even
  rs.set_field(4, u" 3600"_s);   // a number in text converts
  rs.set_field(5, QString(""));  // empty text is not Null
  rs.set_field(7, kTrue);
  write(rs, 16, 1234.75);
  EXPECT_EQ(tool_value("SELECT seg_start_time || '|' || seg_end_time || '|' || start_offset || "
                       "'|' || end_offset || '|' || started || '|' || typeof(caption) || '|' || "
                       "saved_position FROM playlist WHERE file_name = 'new'")
                .toString(),
            "2026-12-06 20:15:00|2026-12-06 21:00:00.250|12|3600|1|text|1234.75");
  EXPECT_EQ(values::to_int16(rs.field(11)), kFalse);  // the column's default
  // Writes that the column cannot hold raise 13 and leave the row as it was.
  EXPECT_RUNTIME_ERROR(rs.set_field(0, u"tomorrow"_s), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(rs.set_field(3, u"ten"_s), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(rs.set_field(7, u"maybe"_s), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(rs.set_field(22, 0), err::kSubscriptOutOfRange);
  EXPECT_EQ(rs.field(3).toLongLong(), 12);
  write(rs, 16, QVariant());
  auto again = reopened();
  again->rsplaylist.open();
  again->rsplaylist.move_last();
  EXPECT_TRUE(values::is_null(again->rsplaylist.field(16))) << "Null round-trips";
}

// Moving off an edited row writes it; a delete moves nowhere; identical rows are updated one at
// a time, even after a compaction renumbers the rows.
TEST_F(RecordsetTest, EditsReachTheFileAsTheToolSeesThem) {
  tool_exec(
      "INSERT INTO playlist (file_name, saved_position) VALUES ('same',0),('same',0),('c',0)");
  db::Recordset& rs = opened(data_->rsplaylist);
  rs.set_field(16, 5.0);
  rs.move_next();
  EXPECT_EQ(tool_value("SELECT count(*) FROM playlist WHERE saved_position = 5").toInt(), 1);
  tool_exec("VACUUM");
  rs.set_field(16, 6.0);
  rs.update_batch();
  EXPECT_EQ(tool_value("SELECT group_concat(saved_position) FROM playlist").toString(),
            "5.0,6.0,0.0");
  rs.delete_current();
  EXPECT_RUNTIME_ERROR(rs.field(2), err::kBofOrEof);
  rs.move_next();
  EXPECT_EQ(rs.field(2).toString(), "c");
  EXPECT_EQ(rs.record_count(), 2);
  EXPECT_EQ(tool_value("SELECT count(*) FROM playlist").toInt(), 2);
}

// The play log is only appended to: a week of appends must not stay in memory, yet the day start
// still finds the last row and every row reaches the file.
TEST_F(RecordsetTest, ThePlayLogHoldsOnlyItsLastRow) {
  db::Recordset& rs = opened(data_->rsPlayed);
  EXPECT_TRUE(rs.bof() && rs.eof());
  rs.close();
  tool_exec("INSERT INTO Played (file_name) VALUES ('a'), ('b')");
  rs.open();
  EXPECT_EQ(rs.record_count(), 1);
  EXPECT_EQ(rs.field(2).toString(), "b");
  for (const QString& file : {u"c"_s, u"d"_s}) {
    rs.add_new();
    write(rs, 2, file);
    EXPECT_EQ(rs.record_count(), 1);
    EXPECT_EQ(rs.field(2).toString(), file);
  }
  EXPECT_EQ(tool_value("SELECT group_concat(file_name) FROM Played").toString(), "a,b,c,d");
}

TEST_F(RecordsetTest, InitDbGivesEveryTableItsColumnsAtTheirOrdinalsAndAKey) {
  for (const db::schema::TableDefinition& table : db::schema::tables()) {
    const ports::TableContents contents = data_->database().read_table(table.name);
    ASSERT_EQ(contents.layout.columns.size(), table.columns.size() + 1) << qPrintable(table.name);
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
      EXPECT_EQ(contents.layout.columns[i].name, table.columns[i].name);
      EXPECT_EQ(contents.layout.columns[i].kind, table.columns[i].kind) << qPrintable(table.name);
    }
    EXPECT_EQ(contents.layout.key_column, static_cast<int>(table.columns.size()));
  }
  EXPECT_EQ(tool_value("PRAGMA journal_mode").toString(), "wal");
  // A second init-db leaves the schedule alone.
  tool_exec("INSERT INTO News (news_name) VALUES ('kept')");
  EXPECT_EQ(platform::create_schedule(folder_.path()), platform::CreateResult::kAlreadyExists);
  EXPECT_EQ(tool_value("SELECT count(*) FROM News").toInt(), 1);
}

TEST(ScheduleFolderTest, MissingOrJetOnlyFolderRaisesAClearDatabaseError) {
  QTemporaryDir folder;
  db::DataEnvironment data(platform::sqlite_store_factory());
  data.set_data_folder(folder.path());
  EXPECT_RUNTIME_ERROR_SAYING(data.rsplaylist.open(), err::kDatabaseError, "init-db");
  EXPECT_FALSE(QFile::exists(folder.filePath(u"wizard.db"_s)));

  ASSERT_TRUE(QFile(folder.filePath(u"Wizard.mdb"_s)).open(QIODevice::WriteOnly));
  EXPECT_RUNTIME_ERROR_SAYING(data.rsplaylist.open(), err::kDatabaseError, "converted");
  EXPECT_FALSE(data.rsplaylist.is_open());

  QFile garbage(folder.filePath(u"wizard.db"_s));
  ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'x')) == 4096);
  garbage.close();
  EXPECT_RUNTIME_ERROR(data.rsplaylist.open(), err::kDatabaseError);

  db::DataEnvironment without_backend;
  without_backend.set_data_folder(folder.path());
  EXPECT_RUNTIME_ERROR(without_backend.rsNews.open(), err::kDatabaseError);
}

// A missing table is an error naming it; a table without a key is read by row number.
TEST_F(RecordsetTest, MissingTableIsAnErrorATableWithoutKeyFallsBackToRowNumber) {
  tool_exec("DROP TABLE News_Slot");
  EXPECT_RUNTIME_ERROR_SAYING(data_->rsNews_Slot.open(), err::kDatabaseError, "News_Slot");
  EXPECT_FALSE(data_->rsNews_Slot.is_open());
  tool_exec("DROP TABLE News");
  tool_exec("CREATE TABLE News (a TEXT, news_time DATETIME, folder_path TEXT)");
  tool_exec("INSERT INTO News VALUES ('x', '08:00:00', 'f'), ('x', '08:00:00', 'f')");
  QStringList notices;
  data_->set_notice_sink([&](const QString& notice) { notices << notice; });
  db::Recordset& rs = opened(data_->rsNews);
  rs.requery();
  rs.close();
  rs.open();
  ASSERT_EQ(notices.size(), 1);
  EXPECT_TRUE(notices.first().contains(u"News"_s));
  rs.move_last();
  write(rs, 2, u"g"_s);
  EXPECT_EQ(tool_value("SELECT group_concat(folder_path, ',') FROM News").toString(), "f,g");
}

// A requery sees what the tool committed meanwhile; the rows it already holds are read again
// only when someone else wrote the table or its own update moved a row in the sort order.
TEST_F(RecordsetTest, ARequerySeesOtherWritersAndKeepsItsOwnRowsOnlyWhileTheyHold) {
  tool_exec(
      "INSERT INTO playlist (seg_start_time, file_name) VALUES ('10:00:00','a'),('11:00:00','b')");
  db::Recordset& rs = opened(data_->rsplaylist);
  rs.set_sort(u"seg_start_time"_s);
  rs.move_last();
  rs.requery();  // nothing changed: back on the first row, still sorted
  EXPECT_EQ(rs.field(2).toString(), "a");
  write(rs, 16, 1.0);
  rs.requery();
  EXPECT_EQ(rs.field(16).toDouble(), 1.0);
  write(rs, 0, u"12:00:00"_s);
  rs.requery();
  EXPECT_EQ(rs.field(2).toString(), "b") << "the update moved the row to the end";
  tool_exec("UPDATE playlist SET caption = 'tool'");
  write(rs, 16, 2.0);
  rs.requery();
  EXPECT_EQ(rs.field(5).toString(), "tool");
  tool_exec("INSERT INTO playlist (seg_start_time, file_name) VALUES ('09:00:00', 'c')");
  EXPECT_EQ(rs.record_count(), 2);
  rs.requery();
  EXPECT_EQ(rs.record_count(), 3);

  // A row the tool deleted meanwhile cannot be updated: a database error, no silent loss.
  tool_exec("DELETE FROM playlist WHERE file_name = 'c'");
  rs.set_field(16, 1.0);
  EXPECT_RUNTIME_ERROR(rs.update(), err::kDatabaseError);
  EXPECT_TRUE(values::is_null(rs.field(16)));  // the row shows what is stored, not the failed write
  rs.delete_current();                         // deleting it again is harmless
}

TEST_F(RecordsetTest, LockHeldByTheToolCostsOneErrorAfterTheBusyTimeout) {
  tool_exec("INSERT INTO playlist (file_name) VALUES ('a')");
  db::Recordset& rs = opened(data_->rsplaylist);
  tool_exec("BEGIN IMMEDIATE");
  tool_exec("UPDATE playlist SET caption = 'tool'");
  // Reading goes on in WAL mode while the tool writes.
  rs.requery();
  EXPECT_EQ(rs.record_count(), 1);
  rs.set_field(16, 42.0);
  QElapsedTimer timer;
  timer.start();
  EXPECT_RUNTIME_ERROR(rs.update(), err::kDatabaseLocked);
  EXPECT_GE(timer.elapsed(), platform::kBusyTimeoutMs - 50);
  EXPECT_LT(timer.elapsed(), 3 * platform::kBusyTimeoutMs);
  tool_exec("COMMIT");
  // Once the lock is gone the next write succeeds.
  write(rs, 16, 43.0);
  EXPECT_EQ(tool_value("SELECT saved_position || caption FROM playlist").toString(), "43.0tool");
}

// The example of docs/schema.md is what schedule writers copy: it must load and read back.
TEST_F(RecordsetTest, DocumentedExampleLoadsAndReads) {
  QFile doc(QStringLiteral(VANTORA_SOURCE_DIR "/docs/schema.md"));
  ASSERT_TRUE(doc.open(QIODevice::ReadOnly | QIODevice::Text));
  const QRegularExpression sql_block(u"```sql\n(.*?)```"_s,
                                     QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch block = sql_block.match(QString::fromUtf8(doc.readAll()));
  ASSERT_TRUE(block.hasMatch());
  const QString sql = block.captured(1).remove(QRegularExpression(u"--[^\n]*"_s));
  for (const QString& statement : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    if (!statement.trimmed().isEmpty()) {
      tool_exec(statement);
    }
  }
  db::Recordset& playlist = opened(data_->rsplaylist);
  playlist.set_sort(u"seg_start_time"_s);
  EXPECT_EQ(playlist.record_count(), 2);
  EXPECT_TRUE(values::is_true(playlist.field(14)));
  playlist.move_last();
  EXPECT_EQ(values::to_date_time(playlist.field(1)), date_time::from_parts(2026, 12, 6, 21, 40));
  data_->rsAdv.open();
  EXPECT_EQ(values::to_date_time(data_->rsAdv.field(1)), date_time::from_time_of_day(20, 30, 0));
}

}  // namespace
}  // namespace vantora::testing
