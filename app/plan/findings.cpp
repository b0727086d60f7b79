#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <set>

#include "app/plan/day_plan.h"

namespace vantora::plan {

namespace {

// The player starts a show on its half-second tick and takes a moment to render: less than this
// is on time.
constexpr double kLateAfter_s = 5.0;
// Nothing on air for longer than this is dead air.
constexpr qint64 kDeadAir_ms = 15'000;
// A news item fires when its time comes round, after the clip then running if a break holds it.
constexpr qint64 kNewsGrace_s = 15 * 60;

QString row_name(const char* table, qint64 id) {
  return QStringLiteral("%1 #%2").arg(QString::fromLatin1(table)).arg(id);
}

bool inside(const DayPlan& plan, const QDateTime& at) {
  return at.isValid() && plan.from <= at && at < plan.until;
}

// Every moment of the plan's span at which a daily time of day falls.
std::vector<QDateTime> occurrences(const DayPlan& plan, const QTime& time) {
  std::vector<QDateTime> at;
  if (!time.isValid()) {
    return at;
  }
  for (QDate day = plan.from.date(); day <= plan.until.date(); day = day.addDays(1)) {
    const QDateTime moment(day, time);
    if (inside(plan, moment)) {
      at.push_back(moment);
    }
  }
  return at;
}

void check_segments(const ScheduleFacts& facts, const DayPlan& plan, MediaLengths& lengths,
                    std::vector<Finding>& out) {
  for (const SegmentRow& row : facts.segments) {
    if (!inside(plan, row.start)) {
      continue;
    }
    const QString name = row_name("playlist", row.id);
    const std::optional<double> length = lengths.length_s(row.file);
    if (!length) {
      out.push_back({row.start, QStringLiteral("media-missing"), Severity::kError, name,
                     QFileInfo(row.file).isFile()
                         ? QStringLiteral("%1 is not media").arg(row.file)
                         : QStringLiteral("%1 does not exist").arg(row.file),
                     row.file});
      continue;
    }
    if (row.start_offset_s >= *length || row.end_offset_s > *length + 1.0) {
      out.push_back({row.start, QStringLiteral("offset-past-end"), Severity::kError, name,
                     QStringLiteral("offsets %1-%2 s pass the end of %3 (%4 s)")
                         .arg(row.start_offset_s)
                         .arg(row.end_offset_s)
                         .arg(row.file)
                         .arg(*length, 0, 'f', 1)});
    }
  }
}

void check_shows(const ScheduleFacts& facts, const DayPlan& plan, std::vector<Finding>& out) {
  // Shows as the player sees them: a show_start row to the next show_end row.
  struct Show {
    const SegmentRow* first;
    QDateTime end;
  };
  std::vector<Show> shows;
  for (const SegmentRow& row : facts.segments) {
    if (row.show_start) {
      shows.push_back({&row, row.end});
    } else if (!shows.empty() && row.show_end) {
      shows.back().end = row.end;
    }
  }
  for (std::size_t i = 0; i + 1 < shows.size(); ++i) {
    const Show& show = shows[i];
    const SegmentRow& next = *shows[i + 1].first;
    if (inside(plan, next.start) && show.end.isValid() && next.start < show.end) {
      out.push_back({next.start, QStringLiteral("overlap"), Severity::kWarning,
                     row_name("playlist", next.id),
                     QStringLiteral("\"%1\" starts at %2, before \"%3\" ends at %4")
                         .arg(next.caption, next.start.toString(QStringLiteral("HH:mm:ss")),
                              show.first->caption, show.end.toString(QStringLiteral("HH:mm:ss")))});
    }
  }
  for (const Show& show : shows) {
    const SegmentRow& row = *show.first;
    if (!inside(plan, row.start)) {
      continue;
    }
    const auto aired = std::find_if(plan.items.begin(), plan.items.end(), [&](const AiredItem& it) {
      return it.row == row_name("playlist", row.id);
    });
    if (aired == plan.items.end()) {
      out.push_back({row.start, QStringLiteral("show-given-up"), Severity::kError,
                     row_name("playlist", row.id),
                     QStringLiteral("\"%1\" would not start").arg(row.caption)});
    } else if (aired->late_s && *aired->late_s > kLateAfter_s) {
      const Severity severity =
          *aired->late_s > facts.start_tolerance_s ? Severity::kError : Severity::kWarning;
      out.push_back({row.start, QStringLiteral("show-late"), severity, row_name("playlist", row.id),
                     QStringLiteral("\"%1\" would start %2 s late")
                         .arg(row.caption)
                         .arg(*aired->late_s, 0, 'f', 1)});
    }
  }
  for (const AiredEvent& event : plan.events) {
    if (event.type == QStringLiteral("show") &&
        event.fields.value(QStringLiteral("outcome")).toString() ==
            QStringLiteral("UnRecoverable")) {
      out.push_back({event.t,
                     QStringLiteral("show-given-up"),
                     Severity::kError,
                     {},
                     QStringLiteral("the interrupted show cannot finish in time: filler instead")});
    }
  }
}

std::vector<QDateTime> break_starts(const DayPlan& plan) {
  std::vector<QDateTime> starts;
  for (const AiredEvent& event : plan.events) {
    if (event.type == QStringLiteral("break") &&
        event.fields.value(QStringLiteral("edge")).toString() == QStringLiteral("start")) {
      starts.push_back(event.t);
    }
  }
  return starts;
}

// A break's first item starts at its slot, or after the clip a look-ahead found it in.
constexpr qint64 kBreakGrace_s = 120;

void check_slots(const ScheduleFacts& facts, const DayPlan& plan, std::vector<Finding>& out) {
  const std::vector<QDateTime> starts = break_starts(plan);
  for (const SlotRow& slot : facts.slots) {
    for (const QDateTime& at : occurrences(plan, slot.time)) {
      const QString name = row_name("Slot_adv", slot.id);
      int running = 0;
      int expired = 0;
      for (const AdRow& ad : facts.ads) {
        if (!ad.time.isValid() || std::abs(ad.time.msecsTo(slot.time)) >= 1000) {
          continue;
        }
        if (ad.first <= at.date() && at.date() <= ad.last) {
          ++running;
        } else {
          ++expired;
        }
      }
      if (running == 0) {
        out.push_back(
            {at, QStringLiteral("slot-no-ads"), Severity::kWarning, name,
             expired > 0
                 ? QStringLiteral("all %1 items of the break are out of their dates").arg(expired)
                 : QStringLiteral("no item is booked for the break")});
        continue;
      }
      if (at.secsTo(plan.until) < kBreakGrace_s) {
        continue;
      }
      const bool aired = std::any_of(starts.begin(), starts.end(), [&](const QDateTime& t) {
        return at.secsTo(t) >= -2 && at.secsTo(t) <= kBreakGrace_s;
      });
      if (!aired) {
        out.push_back({at, QStringLiteral("slot-uncovered"), Severity::kWarning, name,
                       QStringLiteral("no clip on air covers %1: the break is never searched")
                           .arg(at.toString(QStringLiteral("HH:mm:ss")))});
      }
    }
  }
}

// Each news start with the folder its first clip came from: two items due close together are
// told apart by their folders, and one start answers for one item only.
struct NewsStart {
  QDateTime at;
  QString folder;
  bool taken = false;
};

std::vector<NewsStart> news_starts(const DayPlan& plan) {
  std::vector<NewsStart> starts;
  bool awaiting_clip = false;
  for (const AiredEvent& event : plan.events) {
    if (event.type == QStringLiteral("news") &&
        event.fields.value(QStringLiteral("edge")).toString() == QStringLiteral("start")) {
      starts.push_back({event.t, {}});
      awaiting_clip = true;
    } else if (awaiting_clip && event.type == QStringLiteral("media")) {
      starts.back().folder =
          QFileInfo(event.fields.value(QStringLiteral("file")).toString()).absolutePath();
      awaiting_clip = false;
    }
  }
  return starts;
}

// Why the timer would pass an item by, when the schedule alone tells: it skips an item whose
// folder lists nothing, and its look-ahead only ever sees times still to come, so an item due
// while an earlier one runs, or behind a row the table lists first, is never armed.
QString news_miss_reason(const NewsRow& news) {
  if (!QFileInfo(news.folder).isDir()) {
    return QStringLiteral(": its folder %1 does not exist").arg(news.folder);
  }
  if (QDir(news.folder).entryList(QDir::Files).isEmpty()) {
    return QStringLiteral(": its folder %1 holds no clip").arg(news.folder);
  }
  return QStringLiteral(": another item holds the news timer when it falls due");
}

void check_news(const ScheduleFacts& facts, const DayPlan& plan, std::vector<Finding>& out) {
  std::vector<NewsStart> starts = news_starts(plan);
  std::vector<std::pair<QDateTime, const NewsRow*>> due;
  for (const NewsRow& news : facts.news) {
    for (const QDateTime& at : occurrences(plan, news.time)) {
      due.emplace_back(at, &news);
    }
  }
  std::stable_sort(due.begin(), due.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [at, news] : due) {
    if (at.secsTo(plan.until) < kNewsGrace_s) {
      continue;  // its fate lies past the plan's end
    }
    const QString folder = QFileInfo(news->folder + QLatin1Char('/')).absolutePath();
    const auto fired = std::find_if(starts.begin(), starts.end(), [&](const NewsStart& start) {
      return !start.taken && start.folder == folder && at.secsTo(start.at) >= -2 &&
             at.secsTo(start.at) <= kNewsGrace_s;
    });
    if (fired != starts.end()) {
      fired->taken = true;
      continue;
    }
    out.push_back(
        {at, QStringLiteral("news-never-fires"), Severity::kWarning, row_name("News", news->id),
         QStringLiteral("\"%1\" would not air%2").arg(news->name, news_miss_reason(*news))});
  }
}

void check_air(const DayPlan& plan, std::vector<Finding>& out) {
  // A row's missing file is told once, by its row.
  std::set<QString> reported;
  for (const Finding& finding : out) {
    if (finding.kind == QStringLiteral("media-missing")) {
      reported.insert(finding.file);
    }
  }
  QDateTime on_air_until = plan.from;
  bool started = false;
  for (const AiredItem& item : plan.items) {
    if (!item.ok) {
      if (reported.insert(item.file).second) {
        out.push_back(
            {item.at, QStringLiteral("media-missing"), Severity::kError, item.row,
             QStringLiteral("%1 %2 is not media or missing")
                 .arg(item.kind, item.file.isEmpty() ? QStringLiteral("(no file)") : item.file)});
      }
      continue;
    }
    if (started && on_air_until.msecsTo(item.at) > kDeadAir_ms) {
      out.push_back({on_air_until,
                     QStringLiteral("dead-air"),
                     Severity::kError,
                     {},
                     QStringLiteral("nothing plays for %1 s (no filler clip?)")
                         .arg(on_air_until.secsTo(item.at))});
    }
    started = true;
    const double left_s = item.length_s.value_or(0) - item.start_s.value_or(0);
    on_air_until = std::max(on_air_until, item.at.addMSecs(static_cast<qint64>(left_s * 1000)));
  }
  if (started && on_air_until.msecsTo(plan.until) > kDeadAir_ms) {
    out.push_back(
        {on_air_until,
         QStringLiteral("dead-air"),
         Severity::kError,
         {},
         QStringLiteral("nothing plays from here to the end of the plan (no filler clip?)")});
  }
}

void check_filler_folders(const ScheduleFacts& facts, const DayPlan& plan,
                          std::vector<Finding>& out) {
  auto has_clips = [](const QString& folder) {
    return !QDir(folder).entryList(QDir::Files).isEmpty();
  };
  for (const FillerRow& row : facts.filler) {
    if (!has_clips(row.folder)) {
      out.push_back({QDateTime(plan.from.date(), row.start), QStringLiteral("filler-empty"),
                     Severity::kWarning, row_name("filler", row.id),
                     QStringLiteral("filler folder %1 holds no clip").arg(row.folder)});
    }
  }
  if (!facts.default_filler_folder.isEmpty() && !has_clips(facts.default_filler_folder)) {
    out.push_back({plan.from, QStringLiteral("filler-empty"), Severity::kWarning,
                   QStringLiteral("Player INI"),
                   QStringLiteral("default filler folder %1 holds no clip")
                       .arg(facts.default_filler_folder)});
  }
}

void check_errors(const DayPlan& plan, std::vector<Finding>& out) {
  std::map<std::pair<qint64, QString>, std::pair<QDateTime, int>> seen;
  std::map<std::pair<qint64, QString>, QString> text;
  for (const AiredEvent& event : plan.events) {
    if (event.type != QStringLiteral("error")) {
      continue;
    }
    const auto key = std::make_pair(event.fields.value(QStringLiteral("number")).toLongLong(),
                                    event.fields.value(QStringLiteral("procedure")).toString());
    auto [it, fresh] = seen.try_emplace(key, event.t, 0);
    ++it->second.second;
    if (fresh) {
      text[key] = event.fields.value(QStringLiteral("description")).toString();
    }
  }
  for (const auto& [key, first] : seen) {
    out.push_back({first.first,
                   QStringLiteral("error-line"),
                   Severity::kWarning,
                   {},
                   QStringLiteral("error.txt would get %1 x \"%2 %3 in %4\"")
                       .arg(first.second)
                       .arg(key.first)
                       .arg(text[key], key.second)});
  }
}

}  // namespace

std::vector<Finding> find_problems(const ScheduleFacts& facts, const DayPlan& plan,
                                   MediaLengths& lengths) {
  std::vector<Finding> out;
  check_segments(facts, plan, lengths, out);
  check_shows(facts, plan, out);
  check_slots(facts, plan, out);
  check_news(facts, plan, out);
  check_air(plan, out);
  check_filler_folders(facts, plan, out);
  check_errors(plan, out);
  std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) {
    if (a.severity != b.severity) {
      return a.severity > b.severity;
    }
    return a.at < b.at;
  });
  return out;
}

}  // namespace vantora::plan
