#pragma once

#include <QSqlDatabase>
#include <QString>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "core/database/schema.h"
#include "ports/table_store.h"

class QSqlQuery;

namespace vantora::platform {

// The schedule database file in a data folder.
inline const QString kScheduleFileName = QStringLiteral("wizard.db");
// How long a statement waits for another program's lock before it fails: short, so that a
// scheduling tool holding the file costs one logged error rather than a frozen screen.
inline constexpr int kBusyTimeoutMs = 500;

// The schedule on an SQLite file through Qt SQL, opened read-write in WAL mode so that the
// scheduling tool can write beside the running player. Every SQLite-specific statement of the
// program lives in this class.
class SqliteScheduleStore : public ports::TableStore {
 public:
  enum class OpenMode { kExistingFile, kNewFile };
  // kShared: the scheduling tool and other readers work beside the player. kPrivate: nobody else
  // opens the file while this store is open and nothing needs to survive a power cut (a
  // simulated run over a copy of a schedule): the file stays locked, nothing is flushed, and
  // writes are committed in batches and when the store closes, which spares each statement its
  // lock calls and its commit. A failing disk may then cost the writes since the last batch.
  enum class Sharing { kShared, kPrivate };

  // Raises a RuntimeError (err::kDatabaseError) when the file cannot be opened as a database.
  SqliteScheduleStore(const QString& file_path, OpenMode mode, Sharing sharing = Sharing::kShared);
  ~SqliteScheduleStore() override;
  SqliteScheduleStore(const SqliteScheduleStore&) = delete;
  SqliteScheduleStore& operator=(const SqliteScheduleStore&) = delete;

  ports::TableContents read_table(const QString& table) override;
  ports::TableContents read_last_row(const QString& table) override;
  ports::TableVersion version(const QString& table) override;
  ports::StoredRow read_row(const QString& table, std::int64_t key) override;
  std::int64_t insert_row(const QString& table,
                          const std::vector<ports::CellValue>& cells) override;
  void update_row(const QString& table, std::int64_t key,
                  const std::vector<ports::CellValue>& cells) override;
  void delete_row(const QString& table, std::int64_t key) override;

  // Creates the tables in one transaction.
  void create_tables(const std::vector<db::schema::TableDefinition>& tables);

 private:
  const ports::TableLayout& layout(const QString& table);
  ports::TableLayout describe(const QString& table);
  QSqlQuery& statement(const QString& sql, const QString& table);
  QSqlQuery& update_statement(const QString& table, const std::vector<ports::CellValue>& cells);
  void execute(QSqlQuery& query, const QString& table);
  // In kPrivate, a write joins the open batch (opening one), and a full batch is committed.
  void begin_write(const QString& table);
  void end_write(const QString& table);
  void commit_batch(const QString& table);

  QString connection_name_;
  QSqlDatabase database_;
  Sharing sharing_;
  int batched_writes_ = 0;
  bool in_batch_ = false;
  std::map<QString, ports::TableLayout> layouts_;
  std::map<QString, std::int64_t> own_writes_;
  std::map<QString, std::unique_ptr<QSqlQuery>> statements_;
  // The position save writes the same columns of the same table twice a second: its statement
  // is found by the columns rather than by a text made anew each time.
  std::map<std::pair<QString, std::vector<int>>, QSqlQuery*> update_statements_;
};

// Opens DIR/wizard.db. A folder that holds only the Jet file wizard.mdb gets an error saying it
// must be converted; the player then runs without a database.
std::unique_ptr<ports::TableStore> open_schedule(
    const QString& data_folder,
    SqliteScheduleStore::Sharing sharing = SqliteScheduleStore::Sharing::kShared);
ports::StoreFactory sqlite_store_factory(
    SqliteScheduleStore::Sharing sharing = SqliteScheduleStore::Sharing::kShared);

enum class CreateResult { kCreated, kAlreadyExists };
// Creates DIR (if need be) and DIR/wizard.db with every table and the default settings rows;
// never touches an existing database. Raises a RuntimeError when it cannot.
CreateResult create_schedule(const QString& data_folder);

}  // namespace vantora::platform
