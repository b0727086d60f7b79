#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "tools/soak/schedule_reader.h"

namespace vantora::soak {

// What a day start must do with the playlist it finds, worked out from the stored rows alone: a
// small second reading of the recovery rules, kept apart from the player's code.
struct ExpectedStart {
  QString outcome;               // "Intrupted", "UnRecoverable", "Normal" or "UnIntrupted"
  std::int64_t rowid = 0;        // the interrupted row, or the show started normally
  double resume_offset_s = 0.0;  // Intrupted: where the movie goes on
};

// `rows` as stored when the program starts (in rowid order), `decided_ms` the moment the day
// start weighs them (read to the second).
ExpectedStart expect_day_start(std::vector<StoredSegment> rows, std::int64_t decided_ms,
                               int start_tolerance_s);

// The rows the start-up purge leaves: a segment both started and completed is gone.
std::vector<StoredSegment> after_purge(const std::vector<StoredSegment>& rows);

}  // namespace vantora::soak
