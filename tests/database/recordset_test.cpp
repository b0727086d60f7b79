#include <QStringList>
#include <vector>

#include "base/errors.h"
#include "base/values.h"
#include "support/schedule_fixture.h"

namespace vantora::testing {
namespace {

using RecordsetTest = ScheduleFixture;

std::vector<QString> column_texts(db::Recordset& rs, int ordinal) {
  std::vector<QString> texts;
  if (rs.bof() && rs.eof()) {
    return texts;
  }
  rs.move_first();
  while (!rs.eof()) {
    const QVariant value = rs.field(ordinal);
    texts.push_back(values::is_null(value) ? QStringLiteral("Null") : values::to_text(value));
    rs.move_next();
  }
  return texts;
}

TEST_F(RecordsetTest, EmptyTableIsAtBofAndEofAndStillSorts) {
  db::Recordset& rs = data_->rsplaylist;
  rs.open();
  EXPECT_TRUE(rs.bof());
  EXPECT_TRUE(rs.eof());
  EXPECT_EQ(rs.record_count(), 0);
  rs.set_sort(QStringLiteral("seg_start_time"));
  rs.update_batch();
  EXPECT_RUNTIME_ERROR(rs.move_first(), err::kBofOrEof);
  EXPECT_RUNTIME_ERROR(rs.move_last(), err::kBofOrEof);
  EXPECT_RUNTIME_ERROR(rs.move_next(), err::kBofOrEof);
  EXPECT_RUNTIME_ERROR(rs.field(0), err::kBofOrEof);
  EXPECT_RUNTIME_ERROR(rs.set_field(0, 1), err::kBofOrEof);
  EXPECT_RUNTIME_ERROR(rs.bookmark(), err::kBofOrEof);
  EXPECT_RUNTIME_ERROR(rs.delete_current(), err::kBofOrEof);
}

TEST_F(RecordsetTest, ClosedRecordsetRaises3704AndOpenTwice3705) {
  db::Recordset& rs = data_->rsNews;
  EXPECT_RUNTIME_ERROR(rs.bof(), err::kOperationNotAllowedClosed);
  EXPECT_RUNTIME_ERROR(rs.move_first(), err::kOperationNotAllowedClosed);
  EXPECT_RUNTIME_ERROR(rs.field(0), err::kOperationNotAllowedClosed);
  EXPECT_RUNTIME_ERROR(rs.record_count(), err::kOperationNotAllowedClosed);
  EXPECT_RUNTIME_ERROR(rs.requery(), err::kOperationNotAllowedClosed);
  EXPECT_RUNTIME_ERROR(rs.close(), err::kOperationNotAllowedClosed);
  rs.open();
  EXPECT_RUNTIME_ERROR(rs.open(), 3705);
  rs.close();
  EXPECT_FALSE(rs.is_open());
  rs.open();
  EXPECT_TRUE(rs.is_open());
}

TEST_F(RecordsetTest, MovesReachEofAndBookmarkReturns) {
  tool_exec(QStringLiteral(
      "INSERT INTO News (news_name, news_time) VALUES ('a','08:00:00'),('b','09:00:00'),"
      "('c','10:00:00')"));
  db::Recordset& rs = data_->rsNews;
  rs.open();
  EXPECT_FALSE(rs.bof());
  EXPECT_EQ(rs.record_count(), 3);
  EXPECT_EQ(rs.field(0).toString(), "a");
  rs.move_next();
  const db::Bookmark b = rs.bookmark();
  rs.move_last();
  EXPECT_EQ(rs.field(0).toString(), "c");
  rs.move_next();
  EXPECT_TRUE(rs.eof());
  EXPECT_FALSE(rs.bof());
  EXPECT_RUNTIME_ERROR(rs.move_next(), err::kBofOrEof);
  EXPECT_RUNTIME_ERROR(rs.field(0), err::kBofOrEof);
  rs.go_to(b);
  EXPECT_EQ(rs.field(0).toString(), "b");
  // A bookmark survives a requery that re-reads the rows.
  rs.requery();
  rs.go_to(b);
  EXPECT_EQ(rs.field(0).toString(), "b");
  EXPECT_GT(rs.field(3).toLongLong(), 0);  // the key column, after the schedule's columns
  EXPECT_RUNTIME_ERROR(rs.field(4), err::kSubscriptOutOfRange);
  EXPECT_RUNTIME_ERROR(rs.field(-1), err::kSubscriptOutOfRange);
}

TEST_F(RecordsetTest, SortIsStableWithTiesAndNullsFirst) {
  // Inserted out of order, with a tie on time, a Null time and a Null priority; times of day
  // written in the different stored forms the player reads.
  tool_exec(
      QStringLiteral("INSERT INTO adv (item_name, time, Priority) VALUES "
                     "('late',   '1899-12-30 21:00:00', 1),"
                     "('tie-p2', '10:00:00',            2),"
                     "('none',   NULL,                  5),"
                     "('tie-p1', '10:00:00.000',        1),"
                     "('tie-pN', '10:00',               NULL),"
                     "('early',  '09:59:59.5',          9),"
                     "('tie-p1b','10:00:00',            1)"));
  db::Recordset& rs = data_->rsAdv;
  rs.open();
  rs.set_sort(QStringLiteral("time"));
  EXPECT_EQ(column_texts(rs, 0), (std::vector<QString>{"none", "early", "tie-p2", "tie-p1",
                                                       "tie-pN", "tie-p1b", "late"}));
  rs.set_sort(QStringLiteral("time, Priority"));
  EXPECT_EQ(column_texts(rs, 0), (std::vector<QString>{"none", "early", "tie-pN", "tie-p1",
                                                       "tie-p1b", "tie-p2", "late"}));
  rs.set_sort(QStringLiteral("[time] DESC"));
  EXPECT_EQ(column_texts(rs, 0).front(), "late");
  // The sort holds through requery; an empty sort is the table order.
  rs.requery();
  EXPECT_EQ(column_texts(rs, 0).front(), "late");
  rs.set_sort(QString());
  EXPECT_EQ(column_texts(rs, 0).front(), "late");
  EXPECT_EQ(column_texts(rs, 0)[1], "tie-p2");
  EXPECT_RUNTIME_ERROR(rs.set_sort(QStringLiteral("time, nonesuch")), 3265);
  EXPECT_EQ(rs.sort(), QString());
}

TEST_F(RecordsetTest, TextSortIgnoresCaseAndNumbersSortByValue) {
  tool_exec(
      QStringLiteral("INSERT INTO filler (folder_path, start_time, day_of_week) VALUES "
                     "('b', '10:00:00', 10), ('A', '08:00:00', 9), ('c', '23:00:00', 1)"));
  db::Recordset& rs = data_->rsfiller;
  rs.open();
  rs.set_sort(QStringLiteral("folder_path"));
  EXPECT_EQ(column_texts(rs, 0), (std::vector<QString>{"A", "b", "c"}));
  rs.set_sort(QStringLiteral("day_of_week"));
  EXPECT_EQ(column_texts(rs, 0), (std::vector<QString>{"c", "A", "b"}));
  rs.set_sort(QStringLiteral("start_time"));
  EXPECT_EQ(column_texts(rs, 0), (std::vector<QString>{"A", "b", "c"}));
}

TEST_F(RecordsetTest, ValuesConvertByColumnKindOnReadAndWrite) {
  db::Recordset& rs = data_->rsplaylist;
  rs.open();
  rs.add_new();
  rs.set_field(0, QVariant::fromValue(date_time::from_parts(2026, 12, 6, 20, 15, 0)));
  rs.set_field(1, QStringLiteral("2026-12-06 21:00:00.250"));
  rs.set_field(3, 12.5);                     // whole number: half to even
  rs.set_field(4, QStringLiteral(" 3600"));  // a number in text converts
  rs.set_field(5, QString(""));              // empty text is not Null
  rs.set_field(7, kTrue);
  rs.set_field(8, true);
  rs.set_field(16, 1234.75);
  rs.update();
  EXPECT_EQ(tool_value("SELECT seg_start_time FROM playlist").toString(), "2026-12-06 20:15:00");
  EXPECT_EQ(tool_value("SELECT seg_end_time FROM playlist").toString(), "2026-12-06 21:00:00.250");
  EXPECT_EQ(tool_value("SELECT started FROM playlist").toInt(), 1);
  EXPECT_EQ(tool_value("SELECT caption IS NOT NULL AND caption = '' FROM playlist").toInt(), 1);
  EXPECT_EQ(tool_value("SELECT typeof(start_offset) FROM playlist").toString(), "integer");

  EXPECT_EQ(values::to_date_time(rs.field(0)), date_time::from_parts(2026, 12, 6, 20, 15, 0));
  EXPECT_EQ(rs.field(3).toLongLong(), 12);
  EXPECT_EQ(rs.field(4).toLongLong(), 3600);
  EXPECT_EQ(rs.field(5).toString(), "");
  EXPECT_FALSE(values::is_null(rs.field(5)));
  EXPECT_EQ(values::to_int16(rs.field(7)), kTrue);
  EXPECT_EQ(values::to_int16(rs.field(11)), kFalse);  // the column's default
  EXPECT_TRUE(values::is_null(rs.field(6)));
  EXPECT_DOUBLE_EQ(values::to_double(rs.field(16)), 1234.75);

  // Writes that the column cannot hold raise 13 and leave the row as it was.
  EXPECT_RUNTIME_ERROR(rs.set_field(0, QStringLiteral("tomorrow")), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(rs.set_field(3, QStringLiteral("ten")), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(rs.set_field(7, QStringLiteral("maybe")), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(rs.set_field(21 + 1, 0), err::kSubscriptOutOfRange);
  EXPECT_EQ(rs.field(3).toLongLong(), 12);
}

TEST_F(RecordsetTest, StoredFormsReadTheDocumentedWay) {
  tool_exec(QStringLiteral(
      "INSERT INTO playlist (seg_start_time, seg_end_time, started, completed, show_start, "
      "caption, start_offset) VALUES ('19:30:00', '2026-12-06 00:00:00', -1, 1, NULL, 42, '7')"));
  tool_exec(
      QStringLiteral("INSERT INTO playlist (seg_start_time, start_offset) "
                     "VALUES ('not a time', 'seven')"));
  db::Recordset& rs = data_->rsplaylist;
  rs.open();
  // A time of day alone is day zero; midnight with a date keeps its date.
  EXPECT_EQ(values::to_date_time(rs.field(0)), date_time::from_time_of_day(19, 30, 0));
  EXPECT_EQ(values::to_date_time(rs.field(1)), date_time::from_parts(2026, 12, 6));
  EXPECT_EQ(values::to_int16(rs.field(7)), kTrue);
  EXPECT_EQ(values::to_int16(rs.field(8)), kTrue);
  EXPECT_TRUE(values::is_null(rs.field(14)));
  EXPECT_FALSE(values::is_true(rs.field(14)));
  EXPECT_EQ(rs.field(5).toString(), "42");
  EXPECT_EQ(rs.field(3).toLongLong(), 7);
  rs.move_next();
  EXPECT_RUNTIME_ERROR(rs.field(0), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(rs.field(3), err::kTypeMismatch);
}

TEST_F(RecordsetTest, NullRoundTripsThroughUpdateAndReopen) {
  db::Recordset& rs = data_->rsPlayer_INI;
  rs.open();
  ASSERT_EQ(rs.record_count(), 1);
  EXPECT_TRUE(values::is_null(rs.field(3)));
  rs.set_field(3, QStringLiteral("/tmp/status.txt"));
  rs.set_field(1, QVariant());
  rs.update();
  rs.set_field(3, QVariant());
  rs.update();
  auto again = reopened();
  again->rsPlayer_INI.open();
  EXPECT_TRUE(values::is_null(again->rsPlayer_INI.field(3)));
  EXPECT_TRUE(values::is_null(again->rsPlayer_INI.field(1)));
  EXPECT_EQ(again->rsPlayer_INI.field(0).toLongLong(), 60);
}

TEST_F(RecordsetTest, AddUpdateDeleteAreSeenAfterRequeryAndReopen) {
  db::Recordset& rs = data_->rsADTemp;
  rs.open();
  for (const char* file : {"one.mp4", "two.mp4", "three.mp4"}) {
    rs.add_new();
    rs.set_field(2, QString::fromLatin1(file));
    rs.update();
    EXPECT_EQ(rs.field(2).toString(), QString::fromLatin1(file));
  }
  EXPECT_EQ(rs.record_count(), 3);
  rs.move_first();
  rs.set_field(4, 30.5);
  rs.update();
  rs.move_next();
  rs.delete_current();
  EXPECT_EQ(rs.record_count(), 2);
  EXPECT_RUNTIME_ERROR(rs.field(2), err::kBofOrEof);
  rs.move_next();
  EXPECT_EQ(rs.field(2).toString(), "three.mp4");

  rs.requery();
  EXPECT_EQ(column_texts(rs, 2), (std::vector<QString>{"one.mp4", "three.mp4"}));
  auto again = reopened();
  again->rsADTemp.open();
  EXPECT_EQ(column_texts(again->rsADTemp, 2), (std::vector<QString>{"one.mp4", "three.mp4"}));
  again->rsADTemp.move_first();
  EXPECT_DOUBLE_EQ(values::to_double(again->rsADTemp.field(4)), 30.5);
}

TEST_F(RecordsetTest, MovingOffAnEditedRowWritesIt) {
  tool_exec(QStringLiteral("INSERT INTO playlist (file_name) VALUES ('a'), ('b')"));
  db::Recordset& rs = data_->rsplaylist;
  rs.open();
  rs.set_field(16, 99.0);
  rs.move_next();
  EXPECT_EQ(tool_value("SELECT saved_position FROM playlist WHERE file_name = 'a'").toDouble(),
            99.0);
  rs.set_field(8, kTrue);
  rs.update_batch();
  EXPECT_EQ(tool_value("SELECT completed FROM playlist WHERE file_name = 'b'").toInt(), 1);
}

TEST_F(RecordsetTest, IdenticalRowsAreUpdatedOneAtATime) {
  tool_exec(QStringLiteral(
      "INSERT INTO playlist (file_name, saved_position) VALUES ('same', 0), ('same', 0)"));
  db::Recordset& rs = data_->rsplaylist;
  rs.open();
  rs.set_field(16, 5.0);
  rs.update();
  EXPECT_EQ(tool_value("SELECT count(*) FROM playlist WHERE saved_position = 5").toInt(), 1);
  // Compaction keeps declared keys, so the row is still found.
  tool_exec(QStringLiteral("VACUUM"));
  rs.set_field(16, 6.0);
  rs.update();
  EXPECT_EQ(tool_value("SELECT count(*) FROM playlist WHERE saved_position = 6").toInt(), 1);
}

}  // namespace
}  // namespace vantora::testing
