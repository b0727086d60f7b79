#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "app/plan/day_plan.h"

namespace vantora::plan {

// A start that was planned and the one that aired, when it did.
struct StartComparison {
  QString what;  // "show" or "break"
  QString label;
  QDateTime planned;
  std::optional<QDateTime> actual;
  std::optional<double> late_s;  // actual against planned
};

// One airing of an ad, for billing.
struct AdAiring {
  QString file;
  QString caption;
  QDateTime at;
  std::optional<double> played_s;  // to the next start; nothing for the log's last item
  std::optional<double> length_s;
  std::optional<bool> complete;
};

struct DayReport {
  QDate day;
  std::vector<StartComparison> starts;
  std::vector<AiredItem> planned_not_aired;
  std::vector<AiredItem> aired_not_planned;
  std::vector<AdAiring> billing;
  int errors = 0;  // error lines in the as-run log
};

// The as-run log's lines; empty `error` on success.
std::vector<AiredEvent> read_as_run(const QString& path, QString* error);

DayReport compare_day(const DayPlan& planned, const std::vector<AiredEvent>& as_run, QDate day);

std::string report_summary(const DayReport& report);
std::string report_html(const DayReport& report);
// One line per airing: file, caption, time, seconds played, length, played to its end.
std::string billing_csv(const DayReport& report);

}  // namespace vantora::plan
