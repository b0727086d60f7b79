#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vantora::ports {

// What a column holds, as the player uses it. A store derives it from the column's declared
// type; the recordset converts stored values to and from it.
enum class ColumnKind {
  kAny,       // no declared type: values pass through as stored
  kText,      // text
  kInteger,   // whole number
  kNumber,    // number, may be fractional
  kDateTime,  // calendar date-time or time of day
  kYesNo,     // yes/no
};

struct ColumnInfo {
  QString name;
  ColumnKind kind = ColumnKind::kAny;
};

// A table's columns in ordinal order, every column included, the key column too.
struct TableLayout {
  std::vector<ColumnInfo> columns;
  // The ordinal of the column that identifies a row, or -1 when the table has none and the
  // store falls back to its implicit row number.
  int key_column = -1;
};

// One row as stored: its key (which finds it again for write-back) and its cells by ordinal.
// Null is an invalid QVariant.
struct StoredRow {
  std::int64_t key = -1;
  QList<QVariant> cells;
};

struct TableContents {
  TableLayout layout;
  std::vector<StoredRow> rows;  // in table order
};

// What a table holds at one moment: two equal versions mean no row of it changed in between, by
// this connection or another, so a reader may keep what it read.
struct TableVersion {
  std::int64_t database = -1;    // changes when another connection commits
  std::int64_t own_writes = -1;  // changes when this connection writes the table
  friend bool operator==(const TableVersion&, const TableVersion&) = default;
};

struct CellValue {
  int ordinal = 0;
  QVariant value;
};

// The schedule database as the recordsets see it: whole tables read at once and single rows
// written back by key. Every call reaches the database before it returns. Failures raise
// vantora::RuntimeError: err::kDatabaseLocked when another program holds a lock longer than the
// busy timeout, err::kDatabaseError otherwise (a missing table, a vanished row, a constraint),
// each with a description naming the table.
class TableStore {
 public:
  virtual ~TableStore() = default;

  virtual TableContents read_table(const QString& table) = 0;
  // The table's last row alone (none when it is empty), for a log that is only appended to: a
  // reader that never looks back need not hold months of rows.
  virtual TableContents read_last_row(const QString& table) = 0;
  virtual TableVersion version(const QString& table) = 0;
  virtual StoredRow read_row(const QString& table, std::int64_t key) = 0;

  // Columns left out take the table's defaults. Returns the new row's key.
  virtual std::int64_t insert_row(const QString& table, const std::vector<CellValue>& cells) = 0;
  virtual void update_row(const QString& table, std::int64_t key,
                          const std::vector<CellValue>& cells) = 0;
  virtual void delete_row(const QString& table, std::int64_t key) = 0;
};

// Opens the schedule database of a data folder; raises a RuntimeError that says why it cannot.
using StoreFactory = std::function<std::unique_ptr<TableStore>(const QString& data_folder)>;

}  // namespace vantora::ports
