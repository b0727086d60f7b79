#include "tools/soak/recovery_soak.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <set>
#include <vector>

#include "core/shell/player.h"
#include "sim/simulation.h"
#include "tools/daygen/day_generator.h"
#include "tools/soak/day_start_oracle.h"
#include "tools/soak/schedule_reader.h"

namespace vantora::soak {
namespace {

const QStringList kOutcomes = {QStringLiteral("Intrupted"), QStringLiteral("UnRecoverable"),
                               QStringLiteral("Normal"), QStringLiteral("UnIntrupted")};

// A busy loop that never lets virtual time pass would show here first: a channel hour is some
// 30,000 timer ticks and posted events.
constexpr std::uint64_t kMaxEventsPerVirtualHour = 200'000;
// The position is saved every 500 ms tick.
constexpr double kMaxSavedLagS = 0.5 + 1e-3;
// The day start is weighed after the start-up's waits (some 36 s); a crash sooner interrupts
// the start itself, and the check waits for the next launch.
constexpr std::int64_t kCheckAfterLaunchMs = 50'000;
constexpr double kQuickRestartMs = 20'000.0;
constexpr int kStartedColumn = 7;
constexpr int kCompletedColumn = 8;
constexpr int kSavedPositionColumn = 16;

double resident_mb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) {
    return 0.0;
  }
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) {
      return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
  }
  return 0.0;
}

std::int64_t ms_of(DateTime moment) {
  return local_ms(date_time::to_iso_ms(moment));
}

// A traced event the checks read: kept from the last launch on.
struct Seen {
  std::string type;
  std::int64_t at_ms = 0;
  nlohmann::json fields;
};

// What was on screen when the program died: the movie's true position, if a movie played.
struct AtCrash {
  bool movie_playing = false;
  QString file;
  std::int64_t segment_start_ms = 0;
  double true_position_s = 0.0;
};

struct Cycle {
  DateTime crash;
  DateTime launch;
};

// One generated day with its crashes.
class SoakDay {
 public:
  SoakDay(const SoakParameters& parameters, int day, int crashes, SoakFigures& figures)
      : parameters_(parameters),
        figures_(figures),
        random_(parameters.seed * 7919U + day),
        day_(day) {
    folder_ = QDir(parameters.work_folder).filePath(QStringLiteral("day-%1").arg(day + 1));
    QDir(folder_).removeRecursively();
    daygen::DayParameters shape;
    shape.date = date_time::from_parts(2026, 12, 7 + day % 21);
    shape.seed = parameters.seed * 1000U + static_cast<std::uint32_t>(day);
    shape.shows = parameters.shows_per_day;
    shape.ad_slots = parameters.shows_per_day * parameters.breaks_per_show;
    shape.news_breaks = std::min(shape.news_breaks, shape.ad_slots / 4);
    shape.programme_end_s =
        std::min(shape.first_show_s + parameters.programme_hours * 3600, shape.programme_end_s);
    generated_ = daygen::generate_day(folder_, shape);
    plan(crashes);
  }

  void run() {
    sim::SimulationOptions options;
    options.data_folder = folder_;
    options.start = begin_;
    options.media_durations_path = generated_.media_durations;
    sim::Simulation simulation(options);
    simulation_ = &simulation;
    reader_ = std::make_unique<ScheduleReader>(folder_);
    original_ = reader_->rows("playlist");
    for (const StoredSegment& row : original_) {
      original_by_rowid_[row.rowid] = &row;
    }
    last_ = original_;
    tolerance_s_ = reader_->start_tolerance_s();
    simulation.trace().set_listener(
        [this](std::string_view type, const nlohmann::json& fields) { hear(type, fields); });
    for (std::size_t i = 0; i < cycles_.size(); ++i) {
      simulation.runtime().post_at(cycles_[i].crash, [this] { crash(); });
      simulation.runtime().post_at(cycles_[i].launch, [this] { launch(); });
      const DateTime check = date_time::from_linear_ms(date_time::to_linear_ms(cycles_[i].launch) +
                                                       kCheckAfterLaunchMs);
      if (i + 1 == cycles_.size() ||
          date_time::to_linear_ms(check) < date_time::to_linear_ms(cycles_[i + 1].crash)) {
        simulation.runtime().post_at(check, [this] { check_day_start(); });
      }
    }
    simulation.start();
    const std::int64_t end_ms = date_time::to_linear_ms(end_);
    while (simulation.runtime().now_ms() < end_ms) {
      const std::uint64_t events_before = simulation.runtime().events_dispatched();
      QElapsedTimer hour;
      hour.start();
      simulation.run_for_ms(
          std::min<std::int64_t>(3'600'000, end_ms - simulation.runtime().now_ms()));
      const std::uint64_t events = simulation.runtime().events_dispatched() - events_before;
      figures_.most_events_in_a_virtual_hour =
          std::max(figures_.most_events_in_a_virtual_hour, events);
      figures_.slowest_virtual_hour_real_s = std::max(figures_.slowest_virtual_hour_real_s,
                                                      static_cast<double>(hour.elapsed()) / 1000.0);
      sample_memory();
      if (events > kMaxEventsPerVirtualHour) {
        violation(QStringLiteral("%1 events in one virtual hour").arg(events));
      }
    }
    check_rows(reader_->rows("playlist"));
    check_log();
    simulation.trace().set_listener({});
    reader_.reset();
    simulation_ = nullptr;
  }

 private:
  void sample_memory() {
    const double rss_mb = resident_mb();
    if (figures_.rss_first_hour_mb == 0.0) {
      figures_.rss_first_hour_mb = rss_mb;
    }
    if (day_ == 0) {
      return;
    }
    if (figures_.rss_low_after_first_day_mb == 0.0) {
      figures_.rss_low_after_first_day_mb = rss_mb;
    }
    figures_.rss_low_after_first_day_mb = std::min(figures_.rss_low_after_first_day_mb, rss_mb);
    figures_.rss_high_after_first_day_mb = std::max(figures_.rss_high_after_first_day_mb, rss_mb);
  }

  // Crash moments spread over the day's programme, each after a seeded run of the program and
  // followed by a seeded outage.
  void plan(int crashes) {
    const std::int64_t first_ms = date_time::to_linear_ms(generated_.first_show()) - 120'000;
    const GeneratedSegment& last = generated_.segments.back();
    const std::int64_t last_ms =
        date_time::to_linear_ms(last.start) + std::int64_t{last.length_s} * 1000 + 300'000;
    begin_ = date_time::from_linear_ms(first_ms);
    const double longest_ms = parameters_.max_outage_s * 1000.0;
    const double quick_ms = std::min(kQuickRestartMs, longest_ms);
    const double mean_outage_ms = (quick_ms + longest_ms) / 4.0;
    const double span_ms = static_cast<double>(last_ms - first_ms);
    const double mean_run_ms = std::max(5'000.0, span_ms / std::max(crashes, 1) - mean_outage_ms);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::int64_t at_ms = first_ms;
    for (int i = 0; i < crashes; ++i) {
      const std::int64_t crash_ms = at_ms + 1000 + std::llround(unit(random_) * 2.0 * mean_run_ms);
      const bool quick = unit(random_) < 0.5;
      const double outage_ms = unit(random_) * (quick ? quick_ms : longest_ms);
      const std::int64_t launch_ms = crash_ms + std::llround(outage_ms);
      if (launch_ms > last_ms) {
        break;
      }
      cycles_.push_back(
          {date_time::from_linear_ms(crash_ms), date_time::from_linear_ms(launch_ms)});
      at_ms = launch_ms;
    }
    end_ = date_time::from_linear_ms(std::max(last_ms, at_ms + kCheckAfterLaunchMs + 1000));
  }

  void hear(std::string_view type, const nlohmann::json& fields) {
    const bool wanted = type == "media" || type == "error" ||
                        (type == "keys" && fields.value("keys", std::string()) == "%y") ||
                        (type == "control" && fields.value("name", std::string()) == "Text3");
    if (!wanted) {
      return;
    }
    const std::int64_t at_ms = ms_of(simulation_->runtime().now());
    if (type == "error") {
      const QString line =
          QStringLiteral("%1 %2 (%3)")
              .arg(fields.value("number", 0))
              .arg(QString::fromStdString(fields.value("procedure", std::string())),
                   QString::fromStdString(fields.value("description", std::string())));
      // A generated day has its files and sound rows: nothing in it explains an error line.
      if (++figures_.error_lines[line] == 1) {
        violation(QStringLiteral("error.txt: ") + line);
      }
    }
    seen_.push_back({std::string(type), at_ms, fields});
  }

  void crash() {
    ++figures_.crashes;
    at_crash_ = AtCrash{};
    if (simulation_->program_running()) {
      if (Player* p = simulation_->application().player()) {
        const PlayerState& s = p->state;
        if (p->form.T_Movie.Enabled && s.transport.Paused == kFalse &&
            s.transport.Halted == kFalse && s.graph.m_objMediaPosition) {
          at_crash_.movie_playing = true;
          at_crash_.file = s.row.MediaFile;
          at_crash_.segment_start_ms = ms_of(s.row.SegStart);
          at_crash_.true_position_s = s.graph.m_objMediaPosition->CurrentPosition();
        }
      }
    }
    simulation_->kill();
  }

  void launch() {
    // The database stands as the crash left it: what the next start finds.
    at_launch_ = reader_->rows("playlist");
    check_rows(at_launch_);
    check_saved_lag();
    check_log();
    played_at_launch_.push_back(last_played_rowid_);
    seen_.clear();
    ++launches_;
    launched_since_last_look_ = true;
    simulation_->launch();
  }

  void check_saved_lag() {
    if (!at_crash_.movie_playing) {
      return;
    }
    for (const StoredSegment& row : at_launch_) {
      if (row.file != at_crash_.file || row.start_ms != at_crash_.segment_start_ms ||
          row.completed) {
        continue;
      }
      if (!row.saved_position) {
        ++figures_.unsaved_at_crash;
        return;
      }
      const double lag_s = at_crash_.true_position_s - *row.saved_position;
      figures_.worst_saved_lag_s = std::max(figures_.worst_saved_lag_s, lag_s);
      if (lag_s > kMaxSavedLagS || lag_s < -1e-3) {
        violation(QStringLiteral("saved position %1 s, true position %2 s at the crash (%3)")
                      .arg(*row.saved_position)
                      .arg(at_crash_.true_position_s)
                      .arg(row.file));
      }
      return;
    }
  }

  const Seen* first_seen(const char* type, const std::function<bool(const Seen&)>& matches,
                         std::int64_t after_ms = 0) const {
    for (const Seen& e : seen_) {
      if (e.type == type && e.at_ms >= after_ms && matches(e)) {
        return &e;
      }
    }
    return nullptr;
  }

  void check_day_start() {
    const Seen* outcome = first_seen("control", [](const Seen& e) {
      return kOutcomes.contains(QString::fromStdString(e.fields.value("value", std::string())));
    });
    if (outcome == nullptr) {
      violation(
          QStringLiteral("no day start within %1 s of a launch").arg(kCheckAfterLaunchMs / 1000));
      return;
    }
    // The decision follows the designer's wake-up ("%y") after 1.5 s of waits.
    const Seen* wake = nullptr;
    for (const Seen& e : seen_) {
      if (e.type == "keys" && e.at_ms <= outcome->at_ms) {
        wake = &e;
      }
    }
    if (wake == nullptr) {
      violation(QStringLiteral("a day start without the designer's wake-up"));
      return;
    }
    ++figures_.launches_checked;
    const QString actual = QString::fromStdString(outcome->fields.value("value", std::string()));
    ++figures_.outcomes[actual];
    if (parameters_.each_start) {
      const AtCrash& c = at_crash_;
      parameters_.each_start(QStringLiteral("crash %1, launch %2: %3 (at the crash %4)")
                                 .arg(date_time::to_iso_ms(cycles_[launches_ - 1].crash),
                                      date_time::to_iso_ms(cycles_[launches_ - 1].launch), actual,
                                      c.movie_playing ? QStringLiteral("%1 at %2 s")
                                                            .arg(QDir(c.file).dirName())
                                                            .arg(c.true_position_s)
                                                      : QStringLiteral("no movie")));
    }
    const ExpectedStart expected =
        expect_day_start(after_purge(at_launch_), wake->at_ms + 1500, tolerance_s_);
    if (actual != expected.outcome) {
      violation(QStringLiteral("day start %1, the rows call for %2").arg(actual, expected.outcome));
    }
    const Seen* movie = first_seen(
        "media", [](const Seen& e) { return e.fields.value("mode", std::string()) == "normal"; },
        wake->at_ms);
    if (expected.outcome == QStringLiteral("Intrupted") ||
        expected.outcome == QStringLiteral("Normal")) {
      check_first_movie(expected, movie);
    }
    check_rows(reader_->rows("playlist"));
    check_log();
    const QString integrity = reader_->integrity();
    if (integrity != QStringLiteral("ok")) {
      violation(QStringLiteral("integrity_check: ") + integrity);
    }
  }

  void check_first_movie(const ExpectedStart& expected, const Seen* movie) {
    const StoredSegment* row = nullptr;
    for (const StoredSegment& candidate : at_launch_) {
      if (candidate.rowid == expected.rowid) {
        row = &candidate;
      }
    }
    if (movie == nullptr || row == nullptr) {
      violation(QStringLiteral("%1 but no movie started").arg(expected.outcome));
      return;
    }
    const QString file = QString::fromStdString(movie->fields.value("file", std::string()));
    const double start_s = movie->fields.value("start", -1.0);
    if (file != row->file || start_s != expected.resume_offset_s) {
      violation(QStringLiteral("%1: %2 from %3 s, the rows call for %4 from %5 s")
                    .arg(expected.outcome, file)
                    .arg(start_s)
                    .arg(row->file)
                    .arg(expected.resume_offset_s));
    }
    if (expected.outcome == QStringLiteral("Intrupted") && row->saved_position) {
      figures_.largest_resume_error_s = std::max(figures_.largest_resume_error_s,
                                                 std::abs(start_s - (*row->saved_position + 5.0)));
    }
  }

  // Rows change only by the player's own writes: started, completed and the saved position, and
  // the start-up purge of completed rows. None is added.
  void check_rows(const std::vector<StoredSegment>& now) {
    std::map<std::int64_t, const StoredSegment*> by_rowid;
    for (const StoredSegment& row : now) {
      by_rowid[row.rowid] = &row;
      const auto original = original_by_rowid_.find(row.rowid);
      if (original == original_by_rowid_.end()) {
        violation(QStringLiteral("a playlist row appeared: ") + row.identity());
        continue;
      }
      for (int i = 0; i < row.cells.size(); ++i) {
        if (i != kStartedColumn && i != kCompletedColumn && i != kSavedPositionColumn &&
            row.cells[i] != original->second->cells.value(i)) {
          violation(QStringLiteral("column %1 of %2 changed").arg(i).arg(row.identity()));
        }
      }
      if (row.completed) {
        completed_.insert(row.identity());
      }
    }
    for (const StoredSegment& before : last_) {
      const auto after = by_rowid.find(before.rowid);
      if (after == by_rowid.end()) {
        if (!launched_since_last_look_ || !(before.started && before.completed)) {
          violation(QStringLiteral("a playlist row was lost: ") + before.identity());
        }
        continue;
      }
      if ((before.started && !after->second->started) ||
          (before.completed && !after->second->completed)) {
        violation(QStringLiteral("a flag went back: ") + before.identity());
      }
    }
    last_ = now;
    launched_since_last_look_ = false;
  }

  // Each completed segment is logged at most once, and only once completed; no item of a break
  // is logged twice between one launch and the next crash.
  void check_log() {
    std::map<QString, int> movies;
    std::map<std::pair<std::size_t, QString>, int> break_items;
    for (const StoredSegment& row : reader_->rows("Played")) {
      last_played_rowid_ = std::max(last_played_rowid_, row.rowid);
      if (row.started && row.completed) {
        const QString identity = row.identity();
        if (++movies[identity] == 2) {
          violation(QStringLiteral("a segment logged twice: ") + identity);
        }
        if (!completed_.contains(identity)) {
          violation(QStringLiteral("a segment logged but never completed: ") + identity);
        }
        continue;
      }
      const std::size_t period = static_cast<std::size_t>(
          std::upper_bound(played_at_launch_.begin(), played_at_launch_.end(), row.rowid - 1) -
          played_at_launch_.begin());
      if (++break_items[{period, row.start_text + u'|' + row.file}] == 2 &&
          !item_twice_in_its_break(row)) {
        violation(QStringLiteral("a break item logged twice in one start: ") + row.start_text +
                  u' ' + row.file);
      }
    }
  }

  bool item_twice_in_its_break(const StoredSegment& row) const {
    for (const GeneratedBreak& b : generated_.breaks) {
      if (ms_of(b.at) == row.start_ms) {
        return b.items.count(row.file) > 1;
      }
    }
    return false;
  }

  void violation(const QString& what) {
    if (figures_.violations.size() < 50) {
      figures_.violations << QStringLiteral("%1 %2: %3")
                                 .arg(QDir(folder_).dirName(),
                                      simulation_
                                          ? date_time::to_iso_ms(simulation_->runtime().now())
                                          : QString(),
                                      what);
    }
  }

  using GeneratedSegment = daygen::GeneratedSegment;
  using GeneratedBreak = daygen::GeneratedBreak;

  const SoakParameters& parameters_;
  SoakFigures& figures_;
  std::mt19937 random_;
  int day_;
  QString folder_;
  daygen::GeneratedDay generated_;
  std::vector<Cycle> cycles_;
  DateTime begin_;
  DateTime end_;

  sim::Simulation* simulation_ = nullptr;
  std::unique_ptr<ScheduleReader> reader_;
  int tolerance_s_ = 0;
  std::vector<StoredSegment> original_;
  std::map<std::int64_t, const StoredSegment*> original_by_rowid_;
  std::vector<StoredSegment> last_;
  std::vector<StoredSegment> at_launch_;
  std::set<QString> completed_;
  std::vector<std::int64_t> played_at_launch_;  // the last Played row before each launch
  std::int64_t last_played_rowid_ = 0;
  std::vector<Seen> seen_;
  AtCrash at_crash_;
  bool launched_since_last_look_ = false;
  std::size_t launches_ = 0;  // a start-up may have purged rows since
};

}  // namespace

SoakFigures run_soak(const SoakParameters& parameters) {
  SoakFigures figures;
  QElapsedTimer clock;
  clock.start();
  const int days = std::max(parameters.days, 1);
  for (int day = 0; day < days; ++day) {
    const int crashes = parameters.crashes / days + (day < parameters.crashes % days ? 1 : 0);
    SoakDay soak_day(parameters, day, crashes, figures);
    soak_day.run();
    if (parameters.progress) {
      parameters.progress(QStringLiteral("day %1: %2 crashes so far, %3 s")
                              .arg(day + 1)
                              .arg(figures.crashes)
                              .arg(static_cast<double>(clock.elapsed()) / 1000.0, 0, 'f', 1));
    }
  }
  figures.real_s = static_cast<double>(clock.elapsed()) / 1000.0;
  return figures;
}

QString describe(const SoakFigures& f) {
  QStringList lines;
  lines << QStringLiteral("crashes: %1, day starts checked: %2")
               .arg(f.crashes)
               .arg(f.launches_checked);
  QStringList outcomes;
  for (const auto& [outcome, count] : f.outcomes) {
    outcomes << QStringLiteral("%1 %2").arg(outcome).arg(count);
  }
  lines << QStringLiteral("outcomes: ") + outcomes.join(QStringLiteral(", "));
  lines << QStringLiteral("crashes before the day start was decided: %1")
               .arg(f.crashes - f.launches_checked);
  lines << QStringLiteral("largest resume error: %1 s").arg(f.largest_resume_error_s);
  lines << QStringLiteral("worst saved-position lag at a crash: %1 s (%2 segments not yet saved)")
               .arg(f.worst_saved_lag_s)
               .arg(f.unsaved_at_crash);
  lines << QStringLiteral("real time: %1 s, %2 ms per crash")
               .arg(f.real_s, 0, 'f', 1)
               .arg(f.crashes > 0 ? f.real_s * 1000.0 / f.crashes : 0.0, 0, 'f', 1);
  lines << QStringLiteral("watchdog: at most %1 events and %2 s real time in a virtual hour")
               .arg(f.most_events_in_a_virtual_hour)
               .arg(f.slowest_virtual_hour_real_s, 0, 'f', 2);
  lines << QStringLiteral("memory: %1 MB after the first virtual hour")
               .arg(f.rss_first_hour_mb, 0, 'f', 1);
  if (f.rss_high_after_first_day_mb > 0.0) {
    lines << QStringLiteral("memory after the first day: %1 to %2 MB (a spread of %3 MB)")
                 .arg(f.rss_low_after_first_day_mb, 0, 'f', 1)
                 .arg(f.rss_high_after_first_day_mb, 0, 'f', 1)
                 .arg(f.rss_high_after_first_day_mb - f.rss_low_after_first_day_mb, 0, 'f', 1);
  }
  for (const auto& [line, count] : f.error_lines) {
    lines << QStringLiteral("error.txt: %1 x %2").arg(count).arg(line);
  }
  for (const QString& v : f.violations) {
    lines << QStringLiteral("VIOLATION ") + v;
  }
  return lines.join(u'\n');
}

}  // namespace vantora::soak
