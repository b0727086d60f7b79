#include "app/plan/dry_run.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

#include "base/date_time.h"
#include "core/shell/player.h"
#include "platform/sql/schedule_snapshot.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/simulation.h"

namespace vantora::plan {

namespace {

// Collects the record and the error lines, stamped on the virtual clock.
class Collector final : public PlayoutObserver {
 public:
  Collector(const ports::Runtime& clock, std::vector<AiredEvent>& events)
      : clock_(clock), events_(events) {}

  void on_playout(const PlayoutEvent& event) override {
    events_.push_back({date_time::to_qdatetime(clock_.now()), event.type, event.fields});
  }
  void on_error(const LoggedError& entry) {
    events_.push_back({date_time::to_qdatetime(entry.at),
                       QStringLiteral("error"),
                       {{QStringLiteral("number"), entry.number},
                        {QStringLiteral("description"), entry.description},
                        {QStringLiteral("procedure"), entry.procedure}}});
  }

 private:
  const ports::Runtime& clock_;
  std::vector<AiredEvent>& events_;
};

// The caption cycle writes the status files the settings name; in a dry run they go to the work
// folder under their own names.
void redirect_status_files(const QString& database_path, const QString& work_folder) {
  const QString connection = QUuid::createUuid().toString();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(database_path);
    if (db.open()) {
      for (int i = 1; i <= 3; ++i) {
        const QString column = QStringLiteral("status_file_%1").arg(i);
        QSqlQuery query(db);
        query.prepare(
            QStringLiteral("UPDATE \"Player INI\" SET %1 = ? WHERE %1 IS NOT NULL").arg(column));
        query.addBindValue(QDir(work_folder).filePath(QStringLiteral("status-%1.txt").arg(i)));
        query.exec();
      }
    }
  }
  QSqlDatabase::removeDatabase(connection);
}

}  // namespace

QString prepare_work_copy(const QString& data_folder, const QString& work_folder) {
  const QString source = QDir(data_folder).filePath(platform::kScheduleFileName);
  if (!QFileInfo(source).isFile()) {
    return QStringLiteral("no schedule database %1").arg(source);
  }
  const QString target = QDir(work_folder).filePath(platform::kScheduleFileName);
  const QString error = platform::snapshot_schedule(source, target);
  if (!error.isEmpty()) {
    return QStringLiteral("cannot copy %1: %2").arg(source, error);
  }
  redirect_status_files(target, work_folder);
  return {};
}

std::vector<AiredEvent> run_dry(const QString& work_folder, const QDateTime& start,
                                qint64 duration_s, MediaLengths& lengths, int render_ms) {
  std::vector<AiredEvent> events;
  sim::SimulationOptions options;
  options.data_folder = work_folder;
  // The work copy is the run's alone.
  options.schedule_sharing = platform::SqliteScheduleStore::Sharing::kPrivate;
  options.start = date_time::from_qdatetime(start);
  options.duration_s = duration_s;
  options.media_prober = [&lengths](const QString& path) { return lengths.length_s(path); };
  options.render_ms = render_ms;
  sim::Simulation simulation(options);
  Collector collector(simulation.runtime(), events);
  simulation.on_player_loaded = [&collector](Player& player) {
    player.playout.add_observer(&collector);
    player.errors.add_listener(
        [&collector](const LoggedError& entry) { collector.on_error(entry); });
  };
  simulation.run();
  return events;
}

}  // namespace vantora::plan
