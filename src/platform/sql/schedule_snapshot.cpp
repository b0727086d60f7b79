#include "platform/sql/schedule_snapshot.h"

#include <sqlite3.h>

#include <QFile>
#include <QUrl>

namespace vantora::platform {

namespace {

QString message(sqlite3* db) {
  return QString::fromUtf8(sqlite3_errmsg(db));
}

}  // namespace

QString snapshot_schedule(const QString& source_path, const QString& target_path) {
  sqlite3* source = nullptr;
  sqlite3* target = nullptr;
  QString error;
  // Without a -wal file no player has the database open: it is read as an unchanging file, which
  // leaves no -wal or -shm side file behind in the channel's folder. A live database is read
  // through its write-ahead log like any reader's.
  const bool live = QFile::exists(source_path + QStringLiteral("-wal"));
  QUrl uri = QUrl::fromLocalFile(source_path);
  uri.setScheme(QStringLiteral("file"));
  if (!live) {
    uri.setQuery(QStringLiteral("immutable=1"));
  }
  if (sqlite3_open_v2(uri.toEncoded().constData(), &source, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                      nullptr) != SQLITE_OK) {
    error = message(source);
  } else if (sqlite3_open_v2(QFile::encodeName(target_path).constData(), &target,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    error = message(target);
  } else {
    // A writer that holds the file busy is waited for a little, as the player itself waits.
    sqlite3_busy_timeout(source, 2000);
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    if (backup == nullptr) {
      error = message(target);
    } else {
      // All pages in one step: the copy is one state of the source, never a mix of two.
      const int step = sqlite3_backup_step(backup, -1);
      sqlite3_backup_finish(backup);
      if (step != SQLITE_DONE) {
        error = QString::fromUtf8(sqlite3_errstr(step));
      }
    }
  }
  sqlite3_close(target);
  sqlite3_close(source);
  return error;
}

}  // namespace vantora::platform
