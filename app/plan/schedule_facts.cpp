#include "app/plan/schedule_facts.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <algorithm>
#include <functional>
#include <optional>

#include "base/date_time.h"
#include "base/values.h"

namespace vantora::plan {

namespace {

const QDate kDayZero(1899, 12, 30);

double number(const QVariant& value) {
  bool ok = false;
  const double result = value.toDouble(&ok);
  return ok ? result : 0.0;
}

bool yes(const QVariant& value) {
  return !value.isNull() && number(value) != 0.0;
}

// A row of a query, with the shape of its record read once for the whole query: a catalogue has
// thousands of rows.
struct Row {
  const QSqlQuery& query;
  int columns = 0;
  int id_column = -1;
};

qint64 id_of(const Row& row) {
  return row.id_column < 0 ? 0 : row.query.value(row.id_column).toLongLong();
}

QVariant at(const Row& row, int column) {
  return column < row.columns ? row.query.value(column) : QVariant();
}

std::optional<DateTime> stored_date_time(const Row& row, int column) {
  DateTime value;
  if (!values::parse_date_time(at(row, column).toString(), &value)) {
    return std::nullopt;
  }
  return value;
}

QDateTime stamp(const Row& row, int column) {
  const std::optional<DateTime> value = stored_date_time(row, column);
  return value ? date_time::to_qdatetime(*value) : QDateTime();
}

// A time or a date alone is taken from the stored value as it is, without the local date-time
// in between, which costs a time zone lookup.
QTime time_of(const Row& row, int column) {
  const std::optional<DateTime> value = stored_date_time(row, column);
  if (!value) {
    return {};
  }
  return QTime::fromMSecsSinceStartOfDay(
      static_cast<int>(date_time::to_linear_ms(date_time::time_of_day(*value))));
}

QDate date_of(const Row& row, int column) {
  const std::optional<DateTime> value = stored_date_time(row, column);
  if (!value) {
    return {};
  }
  return kDayZero.addDays(date_time::to_linear_ms(date_time::date_part(*value)) / kMsPerDay);
}

void each_row(QSqlDatabase& db, const QString& sql, const std::function<void(const Row&)>& row) {
  QSqlQuery query(db);
  query.setForwardOnly(true);
  if (!query.exec(sql)) {
    return;
  }
  const QSqlRecord record = query.record();
  const Row current{query, static_cast<int>(record.count()),
                    static_cast<int>(record.indexOf(QStringLiteral("id")))};
  while (query.next()) {
    row(current);
  }
}

}  // namespace

QDateTime parse_stored_date_time(const QString& text) {
  // The player's own reading of a stored text.
  DateTime value;
  return values::parse_date_time(text, &value) ? date_time::to_qdatetime(value) : QDateTime();
}

ScheduleFacts read_schedule(const QString& database_path, QString* error) {
  ScheduleFacts facts;
  const QString connection = QUuid::createUuid().toString();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(database_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open()) {
      *error = db.lastError().text();
    } else {
      each_row(db, QStringLiteral("SELECT * FROM playlist ORDER BY seg_start_time"),
               [&](const Row& q) {
                 facts.segments.push_back({id_of(q), stamp(q, 0), stamp(q, 1), at(q, 2).toString(),
                                           number(at(q, 3)), number(at(q, 4)), at(q, 5).toString(),
                                           yes(at(q, 14)), yes(at(q, 15))});
               });
      each_row(db, QStringLiteral("SELECT * FROM Slot_adv ORDER BY time"), [&](const Row& q) {
        facts.slots.push_back({id_of(q), at(q, 0).toString(), time_of(q, 1),
                               !at(q, 3).isNull() && number(at(q, 3)) == 0.0});
      });
      each_row(db, QStringLiteral("SELECT * FROM adv ORDER BY time, Priority"), [&](const Row& q) {
        facts.ads.push_back({id_of(q), at(q, 0).toString(), time_of(q, 1), date_of(q, 3),
                             date_of(q, 4), at(q, 5).toString(), at(q, 2).toString(),
                             number(at(q, 7))});
      });
      each_row(db, QStringLiteral("SELECT * FROM News"), [&](const Row& q) {
        facts.news.push_back({id_of(q), at(q, 0).toString(), time_of(q, 1), at(q, 2).toString()});
      });
      each_row(db, QStringLiteral("SELECT * FROM filler ORDER BY start_time"), [&](const Row& q) {
        facts.filler.push_back({id_of(q), at(q, 0).toString(), time_of(q, 1), time_of(q, 2),
                                static_cast<int>(number(at(q, 4)))});
      });
      each_row(db, QStringLiteral("SELECT * FROM \"Player INI\" LIMIT 1"), [&](const Row& q) {
        facts.start_tolerance_s = static_cast<int>(number(at(q, 0)));
        facts.default_filler_folder = at(q, 1).toString();
        facts.emergency_folder = at(q, 9).toString();
      });
    }
  }
  QSqlDatabase::removeDatabase(connection);
  return facts;
}

}  // namespace vantora::plan
