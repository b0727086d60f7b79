#include "platform/sql/sqlite_schedule_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <algorithm>
#include <atomic>

#include "base/errors.h"
#include "core/database/cell_codec.h"

namespace vantora::platform {
namespace {

using ports::ColumnKind;

QString quoted(const QString& identifier) {
  QString text = identifier;
  text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + text + QLatin1Char('"');
}

// The declared type of a column made elsewhere, read the way SQLite's own affinity rules read
// it, with the date-time and yes/no names a scheduling tool would use.
ColumnKind kind_of_declared(const QString& declared) {
  const QString type = declared.toUpper();
  if (type.contains(QLatin1String("DATE")) || type.contains(QLatin1String("TIME"))) {
    return ColumnKind::kDateTime;
  }
  if (type.contains(QLatin1String("BOOL")) || type.contains(QLatin1String("YESNO")) ||
      type == QLatin1String("BIT")) {
    return ColumnKind::kYesNo;
  }
  if (type.contains(QLatin1String("INT"))) {
    return ColumnKind::kInteger;
  }
  if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
      type.contains(QLatin1String("TEXT"))) {
    return ColumnKind::kText;
  }
  if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
      type.contains(QLatin1String("DOUB")) || type.contains(QLatin1String("NUM")) ||
      type.contains(QLatin1String("DEC"))) {
    return ColumnKind::kNumber;
  }
  return ColumnKind::kAny;
}

QString declared_type(ColumnKind kind) {
  switch (kind) {
    case ColumnKind::kText:
      return QStringLiteral("TEXT");
    case ColumnKind::kInteger:
      return QStringLiteral("INTEGER");
    case ColumnKind::kNumber:
      return QStringLiteral("REAL");
    case ColumnKind::kDateTime:
      return QStringLiteral("DATETIME");
    case ColumnKind::kYesNo:
      return QStringLiteral("BOOLEAN");
    case ColumnKind::kAny:
      break;
  }
  return {};
}

QString literal(const QVariant& value) {
  if (value.typeId() == QMetaType::QString) {
    QString text = value.toString();
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
  }
  return value.toString();
}

// The driver binds a null QString as NULL; an empty text must stay an empty text.
QVariant bindable(const QVariant& value) {
  if (value.typeId() == QMetaType::QString && value.toString().isEmpty()) {
    QString empty(1, QLatin1Char(' '));
    empty.truncate(0);
    return QVariant(empty);
  }
  return value;
}

bool is_lock_error(const QSqlError& error) {
  bool ok = false;
  const int code = error.nativeErrorCode().toInt(&ok);
  // SQLITE_BUSY and SQLITE_LOCKED, with their extended codes in the upper bits.
  return ok && ((code & 0xff) == 5 || (code & 0xff) == 6);
}

RuntimeError error_of(const QSqlError& error, const QString& table) {
  const QString where = table.isEmpty() ? QString() : QStringLiteral(" (table %1)").arg(table);
  if (is_lock_error(error)) {
    return RuntimeError(err::kDatabaseLocked,
                        QStringLiteral("The schedule database is locked by another program%1: %2")
                            .arg(where, error.text()));
  }
  return RuntimeError(err::kDatabaseError,
                      QStringLiteral("Schedule database error%1: %2").arg(where, error.text()));
}

// Writes a private store commits at once: enough that a commit costs nothing next to them, few
// enough that a batch's pages stay in the cache.
constexpr int kWritesPerBatch = 1000;

QString next_connection_name() {
  static std::atomic<int> counter{0};
  return QStringLiteral("vantora-schedule-%1").arg(counter.fetch_add(1));
}

bool same_columns(const ports::TableLayout& a, const ports::TableLayout& b) {
  return std::equal(a.columns.begin(), a.columns.end(), b.columns.begin(), b.columns.end(),
                    [](const ports::ColumnInfo& x, const ports::ColumnInfo& y) {
                      return x.name == y.name && x.kind == y.kind;
                    });
}

QVariant cell(const QSqlQuery& query, int index) {
  const QVariant value = query.value(index);
  return value.isNull() ? QVariant() : value;
}

}  // namespace

SqliteScheduleStore::SqliteScheduleStore(const QString& file_path, OpenMode mode, Sharing sharing)
    : connection_name_(next_connection_name()), sharing_(sharing) {
  database_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_name_);
  // A URI lets the open refuse to create a missing file.
  QString uri =
      QUrl::fromLocalFile(QFileInfo(file_path).absoluteFilePath()).toString(QUrl::FullyEncoded);
  uri += mode == OpenMode::kNewFile ? QStringLiteral("?mode=rwc") : QStringLiteral("?mode=rw");
  database_.setDatabaseName(uri);
  database_.setConnectOptions(
      QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
  if (!database_.open()) {
    const QString text = database_.lastError().text();
    database_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_name_);
    throw RuntimeError(err::kDatabaseError,
                       QStringLiteral("Cannot open the schedule database %1: %2")
                           .arg(QDir::toNativeSeparators(file_path), text));
  }
  QSqlQuery query(database_);
  // A file that is not a database fails here rather than at the first recordset.
  if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
    const QString text = query.lastError().text();
    query = QSqlQuery();
    database_.close();
    database_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_name_);
    throw RuntimeError(err::kDatabaseError,
                       QStringLiteral("%1 is not a usable schedule database: %2")
                           .arg(QDir::toNativeSeparators(file_path), text));
  }
  // WAL lets the scheduling tool write while the player reads; NORMAL keeps a row update to
  // microseconds and still survives the player being killed (only a power cut may lose the
  // commits since the last checkpoint; the file stays consistent). FULL would sync the disk on
  // every position save, twice a second on the one thread that plays: a median of 0.4 ms, but
  // stalls of tens to hundreds of milliseconds on a busy disk. A failure here (another program
  // mid-write) leaves the file's own settings.
  if (sharing == Sharing::kPrivate) {
    query.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
  }
  query.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
  query.exec(sharing == Sharing::kPrivate ? QStringLiteral("PRAGMA synchronous=OFF")
                                          : QStringLiteral("PRAGMA synchronous=NORMAL"));
  query.exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(kBusyTimeoutMs));
}

SqliteScheduleStore::~SqliteScheduleStore() {
  update_statements_.clear();
  statements_.clear();
  try {
    commit_batch({});
  } catch (const RuntimeError&) {
    // Nobody is left to tell; the batch is lost as a power cut would lose it.
  }
  database_.close();
  database_ = QSqlDatabase();
  QSqlDatabase::removeDatabase(connection_name_);
}

void SqliteScheduleStore::execute(QSqlQuery& query, const QString& table) {
  if (!query.exec()) {
    const QSqlError error = query.lastError();
    query.finish();
    throw error_of(error, table);
  }
}

void SqliteScheduleStore::begin_write(const QString& table) {
  ++own_writes_[table];
  if (sharing_ != Sharing::kPrivate || in_batch_) {
    return;
  }
  if (!database_.transaction()) {
    throw error_of(database_.lastError(), table);
  }
  in_batch_ = true;
}

void SqliteScheduleStore::end_write(const QString& table) {
  if (in_batch_ && ++batched_writes_ >= kWritesPerBatch) {
    commit_batch(table);
  }
}

void SqliteScheduleStore::commit_batch(const QString& table) {
  if (!in_batch_) {
    return;
  }
  in_batch_ = false;
  batched_writes_ = 0;
  if (!database_.commit()) {
    const QSqlError error = database_.lastError();
    database_.rollback();
    throw error_of(error, table);
  }
}

QSqlQuery& SqliteScheduleStore::statement(const QString& sql, const QString& table) {
  auto found = statements_.find(sql);
  if (found == statements_.end()) {
    auto query = std::make_unique<QSqlQuery>(database_);
    if (!query->prepare(sql)) {
      throw error_of(query->lastError(), table);
    }
    found = statements_.emplace(sql, std::move(query)).first;
  }
  return *found->second;
}

ports::TableLayout SqliteScheduleStore::describe(const QString& table) {
  QSqlQuery query(database_);
  if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)))) {
    throw error_of(query.lastError(), table);
  }
  ports::TableLayout layout;
  int primary_key_columns = 0;
  int integer_key = -1;
  while (query.next()) {
    const QString name = query.value(1).toString();
    const QString type = query.value(2).toString();
    layout.columns.push_back({name, kind_of_declared(type)});
    if (query.value(5).toInt() > 0) {
      ++primary_key_columns;
      // Only a lone INTEGER PRIMARY KEY is the row number itself, kept through VACUUM.
      if (type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
        integer_key = static_cast<int>(layout.columns.size()) - 1;
      }
    }
  }
  if (layout.columns.empty()) {
    throw RuntimeError(
        err::kDatabaseError,
        QStringLiteral("The schedule database has no table \"%1\" (create the database with "
                       "\"vantora-player init-db\")")
            .arg(table));
  }
  layout.key_column = primary_key_columns == 1 ? integer_key : -1;
  // Another program may have altered the table: the update statements name columns by ordinal.
  const auto known = layouts_.find(table);
  if (known != layouts_.end() && !same_columns(known->second, layout)) {
    update_statements_.clear();
  }
  layouts_[table] = layout;
  return layout;
}

const ports::TableLayout& SqliteScheduleStore::layout(const QString& table) {
  const auto found = layouts_.find(table);
  if (found != layouts_.end()) {
    return found->second;
  }
  describe(table);
  return layouts_.at(table);
}

ports::TableContents SqliteScheduleStore::read_table(const QString& table) {
  ports::TableContents contents;
  contents.layout = describe(table);
  QSqlQuery query(database_);
  query.setForwardOnly(true);
  if (!query.exec(QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(quoted(table)))) {
    throw error_of(query.lastError(), table);
  }
  const int columns = static_cast<int>(contents.layout.columns.size());
  while (query.next()) {
    ports::StoredRow row;
    row.key = query.value(0).toLongLong();
    row.cells.reserve(columns);
    for (int i = 0; i < columns; ++i) {
      row.cells.push_back(cell(query, i + 1));
    }
    contents.rows.push_back(std::move(row));
  }
  if (query.lastError().isValid()) {
    throw error_of(query.lastError(), table);
  }
  return contents;
}

ports::TableContents SqliteScheduleStore::read_last_row(const QString& table) {
  ports::TableContents contents;
  contents.layout = describe(table);
  QSqlQuery& query = statement(
      QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid DESC LIMIT 1").arg(quoted(table)),
      table);
  execute(query, table);
  if (query.next()) {
    ports::StoredRow row;
    row.key = query.value(0).toLongLong();
    for (int i = 0; i < static_cast<int>(contents.layout.columns.size()); ++i) {
      row.cells.push_back(cell(query, i + 1));
    }
    contents.rows.push_back(std::move(row));
  }
  query.finish();
  return contents;
}

ports::TableVersion SqliteScheduleStore::version(const QString& table) {
  // data_version moves whenever another connection commits; this connection's own writes are
  // counted per table.
  QSqlQuery& query = statement(QStringLiteral("PRAGMA data_version"), table);
  execute(query, table);
  ports::TableVersion result;
  if (query.next()) {
    result.database = query.value(0).toLongLong();
  }
  query.finish();
  result.own_writes = own_writes_[table];
  return result;
}

ports::StoredRow SqliteScheduleStore::read_row(const QString& table, std::int64_t key) {
  const int columns = static_cast<int>(layout(table).columns.size());
  QSqlQuery& query = statement(
      QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?").arg(quoted(table)), table);
  query.bindValue(0, QVariant::fromValue<qlonglong>(key));
  execute(query, table);
  if (!query.next()) {
    query.finish();
    throw RuntimeError(
        err::kDatabaseError,
        QStringLiteral("Row %1 of %2 is no longer in the database.").arg(key).arg(table));
  }
  ports::StoredRow row;
  row.key = key;
  for (int i = 0; i < columns; ++i) {
    row.cells.push_back(cell(query, i + 1));
  }
  query.finish();
  return row;
}

std::int64_t SqliteScheduleStore::insert_row(const QString& table,
                                             const std::vector<ports::CellValue>& cells) {
  begin_write(table);
  const ports::TableLayout& columns = layout(table);
  QString sql;
  if (cells.empty()) {
    sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table));
  } else {
    QStringList names;
    QStringList marks;
    for (const ports::CellValue& value : cells) {
      names << quoted(columns.columns.at(static_cast<std::size_t>(value.ordinal)).name);
      marks << QStringLiteral("?");
    }
    sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(quoted(table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
  }
  QSqlQuery& query = statement(sql, table);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    query.bindValue(static_cast<int>(i), bindable(cells[i].value));
  }
  execute(query, table);
  const std::int64_t key = query.lastInsertId().toLongLong();
  query.finish();
  end_write(table);
  return key;
}

void SqliteScheduleStore::update_row(const QString& table, std::int64_t key,
                                     const std::vector<ports::CellValue>& cells) {
  if (cells.empty()) {
    return;
  }
  begin_write(table);
  QSqlQuery& query = update_statement(table, cells);
  int index = 0;
  for (const ports::CellValue& value : cells) {
    query.bindValue(index++, bindable(value.value));
  }
  query.bindValue(index, QVariant::fromValue<qlonglong>(key));
  execute(query, table);
  const int affected = query.numRowsAffected();
  query.finish();
  end_write(table);
  if (affected == 0) {
    throw RuntimeError(err::kDatabaseError,
                       QStringLiteral("Row %1 of %2 cannot be updated: another program deleted it.")
                           .arg(key)
                           .arg(table));
  }
}

void SqliteScheduleStore::delete_row(const QString& table, std::int64_t key) {
  begin_write(table);
  QSqlQuery& query =
      statement(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(table)), table);
  query.bindValue(0, QVariant::fromValue<qlonglong>(key));
  // A row another program deleted already is as good as deleted.
  execute(query, table);
  query.finish();
  end_write(table);
}

QSqlQuery& SqliteScheduleStore::update_statement(const QString& table,
                                                 const std::vector<ports::CellValue>& cells) {
  std::pair<QString, std::vector<int>> key{table, {}};
  key.second.reserve(cells.size());
  for (const ports::CellValue& value : cells) {
    key.second.push_back(value.ordinal);
  }
  const auto found = update_statements_.find(key);
  if (found != update_statements_.end()) {
    return *found->second;
  }
  const ports::TableLayout& columns = layout(table);
  QStringList assignments;
  for (const ports::CellValue& value : cells) {
    assignments << quoted(columns.columns.at(static_cast<std::size_t>(value.ordinal)).name) +
                       QStringLiteral(" = ?");
  }
  QSqlQuery& query = statement(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                   .arg(quoted(table), assignments.join(QStringLiteral(", "))),
                               table);
  update_statements_.emplace(std::move(key), &query);
  return query;
}

void SqliteScheduleStore::create_tables(const std::vector<db::schema::TableDefinition>& tables) {
  commit_batch({});
  if (!database_.transaction()) {
    throw error_of(database_.lastError(), {});
  }
  QSqlQuery query(database_);
  for (const db::schema::TableDefinition& table : tables) {
    QStringList columns;
    for (const db::schema::ColumnDefinition& column : table.columns) {
      QString definition = quoted(column.name);
      const QString type = declared_type(column.kind);
      if (!type.isEmpty()) {
        definition += QLatin1Char(' ') + type;
      }
      if (column.default_value.isValid()) {
        definition += QStringLiteral(" DEFAULT ") + literal(column.default_value);
      }
      columns << definition;
    }
    columns << quoted(db::schema::kKeyColumn) + QStringLiteral(" INTEGER PRIMARY KEY");
    if (!query.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                        .arg(quoted(table.name), columns.join(QStringLiteral(", "))))) {
      const QSqlError error = query.lastError();
      database_.rollback();
      throw error_of(error, table.name);
    }
  }
  if (!database_.commit()) {
    const QSqlError error = database_.lastError();
    database_.rollback();
    throw error_of(error, {});
  }
  layouts_.clear();
}

std::unique_ptr<ports::TableStore> open_schedule(const QString& data_folder,
                                                 SqliteScheduleStore::Sharing sharing) {
  const QDir folder(data_folder);
  const QString path = folder.absoluteFilePath(kScheduleFileName);
  if (QFileInfo::exists(path)) {
    return std::make_unique<SqliteScheduleStore>(path, SqliteScheduleStore::OpenMode::kExistingFile,
                                                 sharing);
  }
  const QStringList jet_files =
      folder.entryList({QStringLiteral("wizard.mdb")}, QDir::Files);  // matches any case
  if (!jet_files.isEmpty()) {
    throw RuntimeError(
        err::kDatabaseError,
        QStringLiteral("%1 is a Jet database, which this player cannot write; it must be "
                       "converted to %2 (a converter is planned). Running without a database.")
            .arg(QDir::toNativeSeparators(folder.absoluteFilePath(jet_files.first())),
                 QDir::toNativeSeparators(path)));
  }
  throw RuntimeError(
      err::kDatabaseError,
      QStringLiteral("No schedule database: %1 does not exist (\"vantora-player "
                     "init-db %2\" creates one).")
          .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(data_folder)));
}

ports::StoreFactory sqlite_store_factory(SqliteScheduleStore::Sharing sharing) {
  return [sharing](const QString& data_folder) { return open_schedule(data_folder, sharing); };
}

CreateResult create_schedule(const QString& data_folder) {
  QDir folder(data_folder);
  const QString path = folder.absoluteFilePath(kScheduleFileName);
  if (QFileInfo::exists(path)) {
    return CreateResult::kAlreadyExists;
  }
  if (!folder.mkpath(QStringLiteral("."))) {
    throw RuntimeError(
        err::kPathNotFound,
        QStringLiteral("Cannot create the folder %1.").arg(QDir::toNativeSeparators(data_folder)));
  }
  // The settings row names these folders; a player started at once finds them.
  folder.mkpath(QStringLiteral("filler"));
  folder.mkpath(QStringLiteral("emergency"));
  try {
    SqliteScheduleStore store(path, SqliteScheduleStore::OpenMode::kNewFile);
    store.create_tables(db::schema::tables());
    store.insert_row(QStringLiteral("Player INI"), db::schema::default_player_ini(data_folder));
    store.insert_row(QStringLiteral("Wizard_INI"), db::schema::default_wizard_ini());
  } catch (...) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    throw;
  }
  return CreateResult::kCreated;
}

}  // namespace vantora::platform
