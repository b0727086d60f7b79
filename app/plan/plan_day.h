#pragma once

#include <QDateTime>
#include <QString>

#include "app/plan/day_plan.h"
#include "app/plan/dry_run.h"
#include "app/plan/media_lengths.h"

namespace vantora::plan {

struct PlanRequest {
  QString data_folder;
  QDateTime start;
  QDateTime until;
  MediaProbe probe;
  QString cache_path;  // of the media lengths
  Progress progress = Progress::kNone;
  RealTiming timing;
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

// The channel's own pace from its latest as-run log: the median render time of its starts (a
// typical one when it has none yet) and the length of its latest start-up to its day start.
RealTiming channel_timing(const QString& data_folder);

}  // namespace vantora::plan
