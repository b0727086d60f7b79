#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantMap>
#include <optional>
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

// What the channel's real runs took that the simulated runtime does not: a dry run waits as long.
struct RealTiming {
  // How long a file takes the real engine to start; the player waits that long at every start,
  // and over a day of back-to-back segments the waits add up.
  int render_ms = 0;
  // From the program's start-up to its day start: a real start-up spends time in the designer's
  // launch and in the tables that the simulated one does not, and a decision taken on a second
  // (a filler clip more or the show now) goes the other way when the run starts behind.
  std::optional<qint64> startup_ms;
};

// Copies the data folder's schedule into `work_folder` (a consistent snapshot, with the status
// files the caption cycle writes moved into the work folder) so nothing the run does reaches the
// channel's own folder. Empty on success, else what went wrong.
QString prepare_work_copy(const QString& data_folder, const QString& work_folder);

// Runs the real player on the simulated runtime over the work copy from `start` for
// `duration_s`, media lengths from `lengths`, and returns what it records, errors included.
std::vector<AiredEvent> run_dry(const QString& work_folder, const QDateTime& start,
                                qint64 duration_s, MediaLengths& lengths,
                                const RealTiming& timing = {});

}  // namespace vantora::plan
