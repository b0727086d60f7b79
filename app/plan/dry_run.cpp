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

// A start-up longer than this is not the machine's pace but a fault of that run (a designer that
// hung): the plan keeps the simulated start-up then.
constexpr qint64 kLongestStartupLag_ms = 5000;

// Collects the record and the error lines, stamped on the virtual clock. The first day start is
// held back to the real start-up's length: the program spends that time before its first show
// line, and timers due meanwhile tick late, as they do on a real machine.
class Collector final : public PlayoutObserver {
 public:
  Collector(ports::Runtime& clock, std::vector<AiredEvent>& events, DateTime start,
            std::optional<qint64> startup_ms)
      : clock_(clock), events_(events), start_(start), startup_ms_(startup_ms) {}

  void on_playout(const PlayoutEvent& event) override {
    if (startup_ms_ && event.type == QStringLiteral("show")) {
      const qint64 lag_ms =
          *startup_ms_ - (date_time::to_linear_ms(clock_.now()) - date_time::to_linear_ms(start_));
      if (lag_ms > 0 && lag_ms <= kLongestStartupLag_ms) {
        clock_.sleep_ms(static_cast<int>(lag_ms));
      }
      startup_ms_.reset();
    }
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
  ports::Runtime& clock_;
  std::vector<AiredEvent>& events_;
  DateTime start_;
  std::optional<qint64> startup_ms_;
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
                                qint64 duration_s, MediaLengths& lengths,
                                const RealTiming& timing) {
  std::vector<AiredEvent> events;
  sim::SimulationOptions options;
  options.data_folder = work_folder;
  // The work copy is the run's alone.
  options.schedule_sharing = platform::SqliteScheduleStore::Sharing::kPrivate;
  options.start = date_time::from_qdatetime(start);
  options.duration_s = duration_s;
  options.media_prober = [&lengths](const QString& path) { return lengths.length_s(path); };
  options.render_ms = timing.render_ms;
  sim::Simulation simulation(options);
  Collector collector(simulation.runtime(), events, options.start, timing.startup_ms);
  simulation.on_player_loaded = [&collector](Player& player) {
    player.playout.add_observer(&collector);
    player.errors.add_listener(
        [&collector](const LoggedError& entry) { collector.on_error(entry); });
  };
  simulation.run();
  return events;
}

}  // namespace vantora::plan
