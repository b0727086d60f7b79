#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantMap>
#include <vector>

#include "app/plan/media_lengths.h"

namespace vantora::plan {

// One line of the predicted as-run: what the player records at a virtual moment, with the same
// type and fields as the as-run log.
struct AiredEvent {
  QDateTime t;
  QString type;
  QVariantMap fields;
};

// Copies the data folder's schedule into `work_folder` (a consistent snapshot, with the status
// files the caption cycle writes moved into the work folder) so nothing the run does reaches the
// channel's own folder. Empty on success, else what went wrong.
QString prepare_work_copy(const QString& data_folder, const QString& work_folder);

// Runs the real player on the simulated runtime over the work copy from `start` for
// `duration_s`, media lengths from `lengths`, and returns what it records, errors included.
std::vector<AiredEvent> run_dry(const QString& work_folder, const QDateTime& start,
                                qint64 duration_s, MediaLengths& lengths, int render_ms = 0);

}  // namespace vantora::plan
