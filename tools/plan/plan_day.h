#pragma once

#include <QDateTime>
#include <QString>

#include "tools/plan/day_plan.h"
#include "tools/plan/media_lengths.h"

namespace vantora::plan {

struct PlanRequest {
  QString data_folder;
  QDateTime start;
  QDateTime until;
  MediaProbe probe;
  QString cache_path;  // of the media lengths
  Progress progress = Progress::kNone;
};

struct PlanResult {
  DayPlan plan;
  QString error;  // set on bad input: nothing was planned
  int probed = 0;
};

// Plans the span: a snapshot of the data folder's schedule in a folder of its own, the real
// player run over it on the simulated runtime, and what the schedule and the run tell. The data
// folder is only read.
PlanResult make_plan(const PlanRequest& request);

}  // namespace vantora::plan
