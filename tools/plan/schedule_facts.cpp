#include "tools/plan/schedule_facts.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <algorithm>
#include <functional>

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

qint64 id_of(const QSqlQuery& query) {
  const int index = query.record().indexOf(QStringLiteral("id"));
  return index < 0 ? 0 : query.value(index).toLongLong();
}

QVariant at(const QSqlQuery& query, int column) {
  return column < query.record().count() ? query.value(column) : QVariant();
}

QDateTime stamp(const QSqlQuery& query, int column) {
  return parse_stored_date_time(at(query, column).toString());
}

QTime time_of(const QSqlQuery& query, int column) {
  return stamp(query, column).time();
}

QDate date_of(const QSqlQuery& query, int column) {
  return stamp(query, column).date();
}

void each_row(QSqlDatabase& db, const QString& sql, const std::function<void(QSqlQuery&)>& row) {
  QSqlQuery query(db);
  if (!query.exec(sql)) {
    return;
  }
  while (query.next()) {
    row(query);
  }
}

}  // namespace

QDateTime parse_stored_date_time(const QString& text) {
  const QString trimmed = text.trimmed();
  for (const char* format : {"yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd"}) {
    const QDateTime value = QDateTime::fromString(trimmed, QString::fromLatin1(format));
    if (value.isValid()) {
      return value;
    }
  }
  for (const char* format : {"HH:mm:ss.zzz", "HH:mm:ss", "HH:mm"}) {
    const QTime value = QTime::fromString(trimmed, QString::fromLatin1(format));
    if (value.isValid()) {
      return QDateTime(kDayZero, value);
    }
  }
  return {};
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
               [&](QSqlQuery& q) {
                 facts.segments.push_back({id_of(q), stamp(q, 0), stamp(q, 1), at(q, 2).toString(),
                                           number(at(q, 3)), number(at(q, 4)), at(q, 5).toString(),
                                           yes(at(q, 14)), yes(at(q, 15))});
               });
      each_row(db, QStringLiteral("SELECT * FROM Slot_adv ORDER BY time"), [&](QSqlQuery& q) {
        facts.slots.push_back({id_of(q), at(q, 0).toString(), time_of(q, 1),
                               !at(q, 3).isNull() && number(at(q, 3)) == 0.0});
      });
      each_row(db, QStringLiteral("SELECT * FROM adv ORDER BY time, Priority"), [&](QSqlQuery& q) {
        facts.ads.push_back({id_of(q), at(q, 0).toString(), time_of(q, 1), date_of(q, 3),
                             date_of(q, 4), at(q, 5).toString(), at(q, 2).toString(),
                             number(at(q, 7))});
      });
      each_row(db, QStringLiteral("SELECT * FROM News"), [&](QSqlQuery& q) {
        facts.news.push_back({id_of(q), at(q, 0).toString(), time_of(q, 1), at(q, 2).toString()});
      });
      each_row(db, QStringLiteral("SELECT * FROM filler ORDER BY start_time"), [&](QSqlQuery& q) {
        facts.filler.push_back({id_of(q), at(q, 0).toString(), time_of(q, 1), time_of(q, 2),
                                static_cast<int>(number(at(q, 4)))});
      });
      each_row(db, QStringLiteral("SELECT * FROM \"Player INI\" LIMIT 1"), [&](QSqlQuery& q) {
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
