#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>

namespace vantora::soak {

// Crashes a generated channel day at seeded random moments on the simulated runtime over SQLite,
// launches it again after a seeded outage, and checks after every launch that the day start did
// what the stored rows call for and that nothing was lost on the way.
struct SoakParameters {
  std::uint32_t seed = 1;
  int crashes = 50;
  int days = 1;  // one generated day after another, each in its own folder
  int shows_per_day = 40;
  int programme_hours = 23;
  // Ad breaks a show, news breaks among them. Breaks inside a segment make it run late against its
  // schedule, and a late segment is given up at a restart rather than resumed, so fewer breaks
  // give more resumes to check.
  int breaks_per_show = 5;  // from half past midnight; a short soak plays a short day
  // Outages run from 0 s to this: half of them a supervisor's quick restart (up to 20 s), the
  // other half anything up to the longest (a power cut, a person rebooting the PC).
  int max_outage_s = 20 * 60;
  QString work_folder;                                  // the days are written here
  std::function<void(const QString& line)> progress;    // one line a day; may be empty
  std::function<void(const QString& line)> each_start;  // one line a checked start; may be empty
};

struct SoakFigures {
  int crashes = 0;
  int launches_checked = 0;
  std::map<QString, int> outcomes;  // by day-start outcome, and crashes before the decision
  double largest_resume_error_s = 0.0;
  double worst_saved_lag_s = 0.0;
  int unsaved_at_crash = 0;  // a segment begun less than one position save before the crash
  double real_s = 0.0;
  std::uint64_t most_events_in_a_virtual_hour = 0;
  double slowest_virtual_hour_real_s = 0.0;
  // The process's resident set, sampled every virtual hour: its range after the first day shows
  // whether memory grows with the days.
  double rss_first_hour_mb = 0.0;
  double rss_low_after_first_day_mb = 0.0;
  double rss_high_after_first_day_mb = 0.0;
  std::map<QString, int> error_lines;  // "number procedure" and how often
  QStringList violations;              // empty when every check held
};

SoakFigures run_soak(const SoakParameters& parameters);

// The figures as lines of text, for the script and the test log.
QString describe(const SoakFigures& figures);

}  // namespace vantora::soak
