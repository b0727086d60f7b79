#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

#include "app/plan/dry_run.h"
#include "app/plan/schedule_facts.h"

namespace vantora::plan {

enum class Severity { kInfo, kWarning, kError };
const char* severity_name(Severity severity);

// One thing a person should know about the day: when, which row of which table, how bad.
struct Finding {
  QDateTime at;
  QString kind;  // e.g. "media-missing", "show-late"
  Severity severity = Severity::kWarning;
  QString row;  // "playlist #12", "adv #3", or empty
  QString text;
  QString file = {};  // the media file it is about, if any
};

// One item that starts on air.
struct AiredItem {
  QDateTime at;
  QString kind;  // "movie", "ad", "news", "filler", "emergency"
  QString file;
  QString caption;
  std::optional<double> start_s;  // nothing when the file was not media
  std::optional<double> length_s;
  std::optional<QDateTime> scheduled;
  std::optional<double> late_s;
  QString row;
  bool ok = true;
};

// A stretch on one lane of the timeline: "shows", "breaks", "news", "filler".
struct Span {
  QString lane;
  QDateTime from;
  QDateTime to;
  QString label;
};

struct DayPlan {
  QDateTime from;
  QDateTime until;
  std::vector<AiredItem> items;
  std::vector<Span> spans;
  std::vector<Finding> findings;
  std::vector<AiredEvent> events;
  QHash<QString, double> lengths_s;  // of every file that aired

  bool has_errors() const;
};

// What starts on air, from the recorded events: kinds told apart by mode and by the breaks
// around them. `facts` adds captions and scheduled times when given.
std::vector<AiredItem> aired_items(const std::vector<AiredEvent>& events,
                                   const ScheduleFacts* facts, MediaLengths* lengths,
                                   const QString& emergency_folder);
std::vector<Span> spans_of(const std::vector<AiredItem>& items, const QDateTime& until);

// Everything the schedule and the run tell against the day, worst first.
std::vector<Finding> find_problems(const ScheduleFacts& facts, const DayPlan& plan,
                                   MediaLengths& lengths);

}  // namespace vantora::plan
