#include "tools/soak/schedule_reader.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace vantora::soak {
namespace {

std::optional<double> number(const QVariant& value) {
  if (value.isNull()) {
    return std::nullopt;
  }
  bool ok = false;
  const double parsed = value.toDouble(&ok);
  return ok ? std::optional<double>(parsed) : std::nullopt;
}

bool flag(const QVariant& value) {
  return !value.isNull() && value.toLongLong() != 0;
}

}  // namespace

QString StoredSegment::identity() const {
  auto offset = [](const std::optional<double>& value) {
    return value ? QString::number(*value) : QStringLiteral("null");
  };
  return start_text + u'|' + file + u'|' + offset(start_offset) + u'|' + offset(end_offset);
}

std::int64_t local_ms(const QString& text) {
  QString iso = text;
  iso.replace(u' ', u'T');
  QDateTime moment = QDateTime::fromString(iso, Qt::ISODateWithMs);
  if (!moment.isValid()) {
    moment = QDateTime::fromString(iso, Qt::ISODate);
  }
  moment.setTimeSpec(Qt::UTC);
  return moment.toMSecsSinceEpoch();
}

ScheduleReader::ScheduleReader(const QString& data_folder)
    : connection_(QStringLiteral("soak-") + QUuid::createUuid().toString()) {
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
  db.setDatabaseName(data_folder + QStringLiteral("/wizard.db"));
  db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000;QSQLITE_OPEN_READONLY"));
  db.open();
}

ScheduleReader::~ScheduleReader() {
  { QSqlDatabase::database(connection_).close(); }
  QSqlDatabase::removeDatabase(connection_);
}

std::vector<StoredSegment> ScheduleReader::rows(const char* table) {
  std::vector<StoredSegment> found;
  QSqlQuery query(QSqlDatabase::database(connection_));
  query.exec(
      QStringLiteral("SELECT rowid, * FROM \"%1\" ORDER BY rowid").arg(QLatin1String(table)));
  while (query.next()) {
    StoredSegment row;
    row.rowid = query.value(0).toLongLong();
    const QSqlRecord record = query.record();
    for (int i = 1; i < record.count(); ++i) {
      row.cells.append(query.value(i));
    }
    row.start_text = query.value(QStringLiteral("seg_start_time")).toString();
    row.start_ms = local_ms(row.start_text);
    row.end_ms = local_ms(query.value(QStringLiteral("seg_end_time")).toString());
    row.file = query.value(QStringLiteral("file_name")).toString();
    row.start_offset = number(query.value(QStringLiteral("start_offset")));
    row.end_offset = number(query.value(QStringLiteral("end_offset")));
    row.started = flag(query.value(QStringLiteral("started")));
    row.completed = flag(query.value(QStringLiteral("completed")));
    row.show_start = flag(query.value(QStringLiteral("show_start")));
    row.show_end = flag(query.value(QStringLiteral("show_end")));
    row.saved_position = number(query.value(QStringLiteral("saved_position")));
    found.push_back(std::move(row));
  }
  return found;
}

int ScheduleReader::start_tolerance_s() {
  QSqlQuery query(QSqlDatabase::database(connection_));
  query.exec(QStringLiteral("SELECT start_tolerance FROM \"Player INI\" ORDER BY rowid LIMIT 1"));
  return query.next() ? query.value(0).toInt() : 0;
}

QString ScheduleReader::integrity() {
  QSqlQuery query(QSqlDatabase::database(connection_));
  if (!query.exec(QStringLiteral("PRAGMA integrity_check")) || !query.next()) {
    return QStringLiteral("integrity_check did not run");
  }
  return query.value(0).toString();
}

}  // namespace vantora::soak
