#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "app/plan/day_plan.h"

namespace vantora::plan {

namespace {

// A segment starts within this of its row's offset (the engine clamps, a resume backs off).
constexpr double kOffsetSlack_s = 12.0;

const SegmentRow* segment_for(const ScheduleFacts& facts, const QString& file, double start_s,
                              std::optional<double> length_s, const QDateTime& at,
                              std::vector<bool>& used) {
  const SegmentRow* best = nullptr;
  std::size_t best_index = 0;
  for (std::size_t i = 0; i < facts.segments.size(); ++i) {
    const SegmentRow& row = facts.segments[i];
    // An offset past the end starts the file at its end.
    const double offset_s = length_s ? std::min(row.start_offset_s, *length_s) : row.start_offset_s;
    if (used[i] || row.file != file || std::abs(offset_s - start_s) > kOffsetSlack_s) {
      continue;
    }
    // The row due nearest before (or just after) the start.
    if (best == nullptr || std::abs(row.start.secsTo(at)) < std::abs(best->start.secsTo(at))) {
      best = &row;
      best_index = i;
    }
  }
  if (best != nullptr && best->start.isValid() && std::abs(best->start.secsTo(at)) < 6 * 3600) {
    used[best_index] = true;
    return best;
  }
  return nullptr;
}

// The catalogue's rows by file, in catalogue order, and the folders its news breaks play: found
// for each item at once rather than by a pass over thousands of rows.
struct AdIndex {
  QHash<QString, std::vector<const AdRow*>> by_file;
  QSet<QString> folders;

  explicit AdIndex(const ScheduleFacts& facts) {
    for (const AdRow& ad : facts.ads) {
      by_file[ad.file].push_back(&ad);
      if (!ad.file.isEmpty()) {
        folders.insert(ad.file);
        if (ad.file.endsWith(QLatin1Char('/'))) {
          folders.insert(ad.file.chopped(1));
        }
      }
    }
  }
};

const AdRow* ad_for(const AdIndex& index, const QString& file, const QDateTime& at) {
  const AdRow* best = nullptr;
  const auto rows = index.by_file.constFind(file);
  if (rows == index.by_file.cend()) {
    return nullptr;
  }
  for (const AdRow* row : *rows) {
    const AdRow& ad = *row;
    if (!ad.time.isValid()) {
      continue;
    }
    const QDateTime due(at.date(), ad.time);
    if (best == nullptr ||
        std::abs(due.secsTo(at)) < std::abs(QDateTime(at.date(), best->time).secsTo(at))) {
      best = &ad;
    }
  }
  return best;
}

bool is_news_break_clip(const AdIndex& index, const QString& file) {
  return index.folders.contains(file.section(QLatin1Char('/'), 0, -2));
}

}  // namespace

std::vector<AiredItem> aired_items(const std::vector<AiredEvent>& events,
                                   const ScheduleFacts* facts, MediaLengths* lengths,
                                   const QString& emergency_folder) {
  std::vector<AiredItem> items;
  std::vector<bool> used(facts != nullptr ? facts->segments.size() : 0, false);
  const std::optional<AdIndex> ads =
      facts != nullptr ? std::optional<AdIndex>(std::in_place, *facts) : std::nullopt;
  bool in_break = false;
  for (const AiredEvent& event : events) {
    const QString edge = event.fields.value(QStringLiteral("edge")).toString();
    if (event.type == QStringLiteral("break")) {
      in_break = edge == QStringLiteral("start");
      continue;
    }
    if (event.type != QStringLiteral("media")) {
      continue;
    }
    AiredItem item;
    item.at = event.t;
    item.file = event.fields.value(QStringLiteral("file")).toString();
    item.ok = event.fields.value(QStringLiteral("ok")).toBool();
    const QVariant start = event.fields.value(QStringLiteral("start"));
    if (item.ok && !start.isNull()) {
      item.start_s = start.toDouble();
    }
    // A break over filler plays its items in the filler's mode.
    const QString mode = event.fields.value(QStringLiteral("mode")).toString();
    if (in_break) {
      item.kind = QStringLiteral("ad");
    } else if (mode == QStringLiteral("news")) {
      item.kind = QStringLiteral("news");
    } else if (mode == QStringLiteral("filler")) {
      item.kind = !emergency_folder.isEmpty() && item.file.startsWith(emergency_folder)
                      ? QStringLiteral("emergency")
                      : QStringLiteral("filler");
    } else {
      item.kind = QStringLiteral("movie");
    }
    // A news break plays the clips of a folder the catalogue names.
    if (facts != nullptr && item.kind == QStringLiteral("ad") &&
        is_news_break_clip(*ads, item.file)) {
      item.kind = QStringLiteral("news");
    }
    if (lengths != nullptr && item.ok) {
      item.length_s = lengths->length_s(item.file);
    }
    if (facts != nullptr && item.kind == QStringLiteral("movie")) {
      if (const SegmentRow* row = segment_for(*facts, item.file, item.start_s.value_or(0),
                                              item.length_s, item.at, used)) {
        item.caption = row->caption;
        item.scheduled = row->start;
        item.row = QStringLiteral("playlist #%1").arg(row->id);
      }
    } else if (facts != nullptr && item.kind == QStringLiteral("ad")) {
      if (const AdRow* ad = ad_for(*ads, item.file, item.at)) {
        item.caption = ad->caption;
        item.scheduled = QDateTime(item.at.date(), ad->time);
        item.row = QStringLiteral("adv #%1").arg(ad->id);
      }
    }
    if (item.scheduled) {
      item.late_s = static_cast<double>(item.scheduled->msecsTo(item.at)) / 1000.0;
    }
    items.push_back(item);
  }
  return items;
}

std::vector<Span> spans_of(const std::vector<AiredItem>& items, const QDateTime& until) {
  std::vector<Span> spans;
  auto lane_of = [](const QString& kind) {
    if (kind == QStringLiteral("movie")) {
      return QStringLiteral("shows");
    }
    if (kind == QStringLiteral("ad")) {
      return QStringLiteral("breaks");
    }
    if (kind == QStringLiteral("news")) {
      return QStringLiteral("news");
    }
    return QStringLiteral("filler");
  };
  for (std::size_t i = 0; i < items.size(); ++i) {
    const AiredItem& item = items[i];
    if (!item.ok) {
      continue;
    }
    QDateTime end = i + 1 < items.size() ? items[i + 1].at : until;
    if (item.length_s) {
      const QDateTime natural = item.at.addMSecs(
          static_cast<qint64>((*item.length_s - item.start_s.value_or(0)) * 1000.0));
      end = std::min(end, natural);
    }
    const QString lane = lane_of(item.kind);
    const QString label =
        item.caption.isEmpty() ? item.file.section(QLatin1Char('/'), -1) : item.caption;
    // Back-to-back items of one lane and one label read as one stretch.
    if (!spans.empty() && spans.back().lane == lane && spans.back().label == label &&
        spans.back().to.msecsTo(item.at) < 2000) {
      spans.back().to = end;
      continue;
    }
    spans.push_back({lane, item.at, end, label});
  }
  return spans;
}

bool DayPlan::has_errors() const {
  for (const Finding& finding : findings) {
    if (finding.severity == Severity::kError) {
      return true;
    }
  }
  return false;
}

const char* severity_name(Severity severity) {
  switch (severity) {
    case Severity::kInfo:
      return "info";
    case Severity::kWarning:
      return "warning";
    case Severity::kError:
      break;
  }
  return "error";
}

}  // namespace vantora::plan
