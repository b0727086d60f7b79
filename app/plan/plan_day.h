#pragma once

#include <QDateTime>
#include <QString>

#include "app/plan/day_plan.h"
#include "app/plan/media_lengths.h"

namespace vantora::plan {

struct PlanRequest {
  QString data_folder;
  QDateTime start;
  QDateTime until;
  MediaProbe probe;
  QString cache_path;  // of the media lengths
  Progress progress = Progress::kNone;
  // How long a file takes the real engine to start; the player waits that long at every start,
  // and over a day of back-to-back segments the waits add up.
  int render_ms = 0;
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

// The channel's own render time: the median of the starts in its latest as-run log, or a typical
// one when it has none yet.
int typical_render_ms(const QString& data_folder);

}  // namespace vantora::plan
