#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "base/errors.h"
#include "ports/table_store.h"

namespace vantora::db {

// Hands a recordset the connection, opening it on first use; raises when there is none.
using Connection = std::function<ports::TableStore&()>;
// Receives the one-off warnings a recordset has for whoever keeps the log.
using NoticeSink = std::function<void(const QString& notice)>;

// Where a recordset's cursor can come back to.
struct Bookmark {
  std::int64_t row_id = -1;
  friend bool operator==(const Bookmark&, const Bookmark&) = default;
};

// What of its table a recordset holds.
enum class Retention {
  kWholeTable,
  // The last row alone, read at open or written by the recordset: a log the player appends to
  // all week and never reads back would otherwise keep every row it ever wrote. The cursor, the
  // record count and the sort see that one row.
  kLastRow,
};

// One table opened whole, with a client-side cursor: the rows are read at open and requery, the
// cursor moves over them in the sort order, and every write (update of the current row, a new
// row, a delete) reaches the database at once, so a player killed a moment later has lost nothing
// it wrote. Columns are addressed by ordinal.
//
// Misuse raises the classic run-time errors: 3704 on a closed recordset, 3021 for a read, write
// or move that needs a current row at BOF or EOF, 9 for a column ordinal out of range, 13 for a
// value the column cannot hold; database failures (a missing table, a locked file) raise an error
// whose description says what failed.
//
// A row is found again for write-back by its key column or, on a table without one, by the
// store's implicit row number (the first read of such a table sends one notice). Moving off a
// row with changes not yet written writes them first, as update() would. A failed write leaves
// the row as it is stored and raises, so a retry starts from the truth.
class Recordset {
 public:
  Recordset(QString command, QString table, Retention retention = Retention::kWholeTable);
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  const QString& command() const { return command_; }
  const QString& table() const { return table_; }

  // The data environment hands every recordset its connection.
  void attach(Connection connection, NoticeSink notices = {});

  void open();
  void close();
  void requery();
  bool is_open() const;

  bool bof() const;
  bool eof() const;
  void move_first();
  void move_next();
  void move_last();
  Bookmark bookmark() const;
  void go_to(const Bookmark& bookmark);

  // A comma-separated list of column names ("time, Priority"), each ascending unless followed by
  // DESC; stable; Nulls first, then values in the column's own order (date-times and numbers by
  // value, texts ignoring case). The sort holds through requery until close. An empty text
  // restores the table order. The cursor moves to the first row.
  void set_sort(const QString& columns);
  const QString& sort() const { return sort_; }

  // The value of a column of the current row; Null is an invalid QVariant.
  QVariant field(int ordinal) const;
  void set_field(int ordinal, const QVariant& value);

  // add_new() starts a new row (every column Null or its default) that update() writes; update()
  // otherwise writes the changed columns of the current row.
  void add_new();
  void update();
  void delete_current();
  // Writes whatever is pending on every row.
  void update_batch();

  int record_count() const;

 private:
  struct State;
  State& open_state() const;
  void load();
  void write_pending();
  // Writes what is pending and hands a failure back instead of raising it, for the calls that
  // must finish their own work (closing, re-reading) before they report it.
  std::optional<RuntimeError> write_pending_reporting();
  void apply_sort();
  void discard_pending();
  void keep_only_current_row();

  QString command_;
  QString table_;
  Retention retention_;
  QString sort_;
  Connection connection_;
  NoticeSink notices_;
  bool key_notice_sent_ = false;
  std::unique_ptr<State> state_;
};

}  // namespace vantora::db
