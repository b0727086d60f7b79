#include "app/plan/day_report.h"

#include <QFile>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/plan/plan_output.h"

namespace vantora::plan {

namespace {

// Two starts of the same file and offset this far apart are still the same airing.
constexpr qint64 kSameAiring_s = 3600;
constexpr qint64 kSameBreak_s = 600;
constexpr double kEndSlack_s = 1.0;

QVariant to_variant(const nlohmann::json& value) {
  if (value.is_boolean()) {
    return value.get<bool>();
  }
  if (value.is_number()) {
    return value.get<double>();
  }
  if (value.is_string()) {
    return QString::fromStdString(value.get<std::string>());
  }
  return {};
}

// The as-run log alone cannot tell a news break's clips from ads: both play inside a break.
bool same_kind(const QString& planned, const QString& aired) {
  const auto in_break = [](const QString& kind) {
    return kind == QStringLiteral("ad") || kind == QStringLiteral("news");
  };
  return planned == aired || (in_break(planned) && in_break(aired));
}

bool same_airing(const AiredItem& planned, const AiredItem& aired) {
  return same_kind(planned.kind, aired.kind) && planned.file == aired.file &&
         std::abs(planned.start_s.value_or(0) - aired.start_s.value_or(0)) <= 12.0 &&
         std::abs(planned.at.secsTo(aired.at)) <= kSameAiring_s;
}

QString label_of(const AiredItem& item) {
  return item.caption.isEmpty() ? item.file.section(QLatin1Char('/'), -1) : item.caption;
}

std::vector<QDateTime> break_starts(const std::vector<AiredEvent>& events) {
  std::vector<QDateTime> starts;
  for (const AiredEvent& event : events) {
    if (event.type == QStringLiteral("break") &&
        event.fields.value(QStringLiteral("edge")).toString() == QStringLiteral("start")) {
      starts.push_back(event.t);
    }
  }
  return starts;
}

std::string csv_field(const QString& text) {
  QString quoted = text;
  quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return (u'"' + quoted + u'"').toStdString();
}

std::string seconds(const std::optional<double>& value) {
  return value ? QString::number(*value, 'f', 1).toStdString() : "";
}

std::string clock(const QDateTime& t) {
  return t.toString(QStringLiteral("HH:mm:ss")).toStdString();
}

}  // namespace

std::vector<AiredEvent> read_as_run(const QString& path, QString* error) {
  std::vector<AiredEvent> events;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("cannot read %1").arg(path);
    return events;
  }
  while (!file.atEnd()) {
    const QByteArray line = file.readLine().trimmed();
    // A line cut short by a kill is passed over.
    const nlohmann::json object = nlohmann::json::parse(line.constData(), nullptr, false);
    if (!object.is_object()) {
      continue;
    }
    AiredEvent event{
        from_iso(object.value("t", "")), QString::fromStdString(object.value("type", "")), {}};
    for (const auto& [key, value] : object.items()) {
      if (key != "t" && key != "type") {
        event.fields.insert(QString::fromStdString(key), to_variant(value));
      }
    }
    events.push_back(event);
  }
  return events;
}

DayReport compare_day(const DayPlan& planned, const std::vector<AiredEvent>& as_run, QDate day) {
  DayReport report;
  report.day = day;
  const std::vector<AiredItem> aired = aired_items(as_run, nullptr, nullptr, {});
  std::vector<bool> matched(aired.size(), false);
  // Only the stretch the log covers is judged: a run stopped early misses nothing after it.
  QDateTime logged_from;
  QDateTime logged_until;
  if (!as_run.empty()) {
    logged_from = as_run.front().t;
    logged_until = as_run.back().t;
  }
  for (const AiredItem& item : planned.items) {
    if (!item.ok || item.at < logged_from.addSecs(-kSameBreak_s) || item.at > logged_until) {
      continue;
    }
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < aired.size() && !found; ++i) {
      if (!matched[i] && same_airing(item, aired[i])) {
        found = i;
      }
    }
    if (!found) {
      report.planned_not_aired.push_back(item);
    } else {
      matched[*found] = true;
    }
    if (item.kind == QStringLiteral("movie") && !item.row.isEmpty()) {
      StartComparison start{QStringLiteral("show"), label_of(item), item.at, {}, {}};
      if (found) {
        start.actual = aired[*found].at;
        start.late_s = static_cast<double>(item.at.msecsTo(aired[*found].at)) / 1000.0;
      }
      report.starts.push_back(start);
    }
  }
  for (std::size_t i = 0; i < aired.size(); ++i) {
    if (!matched[i] && aired[i].ok) {
      report.aired_not_planned.push_back(aired[i]);
    }
  }
  const std::vector<QDateTime> actual_breaks = break_starts(as_run);
  std::vector<bool> break_used(actual_breaks.size(), false);
  for (const QDateTime& planned_at : break_starts(planned.events)) {
    if (planned_at > logged_until) {
      continue;
    }
    StartComparison start{QStringLiteral("break"), QString(), planned_at, {}, {}};
    for (std::size_t i = 0; i < actual_breaks.size(); ++i) {
      if (!break_used[i] && std::abs(planned_at.secsTo(actual_breaks[i])) <= kSameBreak_s) {
        break_used[i] = true;
        start.actual = actual_breaks[i];
        start.late_s = static_cast<double>(planned_at.msecsTo(actual_breaks[i])) / 1000.0;
        break;
      }
    }
    report.starts.push_back(start);
  }
  for (std::size_t i = 0; i < aired.size(); ++i) {
    const AiredItem& item = aired[i];
    if (item.kind != QStringLiteral("ad") || !item.ok) {
      continue;
    }
    AdAiring airing{item.file, {}, item.at, {}, {}, {}};
    bool news_clip = false;
    for (const AiredItem& plan_item : planned.items) {
      if (plan_item.file == item.file) {
        news_clip = plan_item.kind == QStringLiteral("news");
        airing.caption = plan_item.caption;
        break;
      }
    }
    if (news_clip) {
      continue;
    }
    if (planned.lengths_s.contains(item.file)) {
      airing.length_s = planned.lengths_s.value(item.file);
    }
    if (i + 1 < aired.size()) {
      airing.played_s = static_cast<double>(item.at.msecsTo(aired[i + 1].at)) / 1000.0;
      if (airing.length_s) {
        airing.complete = *airing.played_s + kEndSlack_s >= *airing.length_s;
      }
    }
    report.billing.push_back(airing);
  }
  for (const AiredEvent& event : as_run) {
    report.errors += event.type == QStringLiteral("error") ? 1 : 0;
  }
  return report;
}

std::string report_summary(const DayReport& report) {
  double worst_s = 0;
  int missed = 0;
  for (const StartComparison& start : report.starts) {
    if (start.late_s) {
      worst_s = std::max(worst_s, std::abs(*start.late_s));
    } else {
      ++missed;
    }
  }
  int complete = 0;
  for (const AdAiring& airing : report.billing) {
    complete += airing.complete.value_or(false) ? 1 : 0;
  }
  char line[512];
  std::snprintf(line, sizeof line,
                "report %s: %zu starts compared, largest difference %.1f s, %d not found; "
                "%zu planned items did not air, %zu aired unplanned; %zu ad airings (%d to their "
                "end); %d error lines\n",
                report.day.toString(Qt::ISODate).toStdString().c_str(), report.starts.size(),
                worst_s, missed, report.planned_not_aired.size(), report.aired_not_planned.size(),
                report.billing.size(), complete, report.errors);
  return line;
}

std::string billing_csv(const DayReport& report) {
  std::ostringstream csv;
  csv << "file,caption,aired_at,played_s,length_s,played_to_end\n";
  for (const AdAiring& airing : report.billing) {
    csv << csv_field(airing.file) << ',' << csv_field(airing.caption) << ','
        << iso(airing.at).toStdString() << ',' << seconds(airing.played_s) << ','
        << seconds(airing.length_s) << ','
        << (airing.complete ? (*airing.complete ? "yes" : "no") : "unknown") << '\n';
  }
  return csv.str();
}

std::string report_html(const DayReport& report) {
  const std::string day = report.day.toString(Qt::ISODate).toStdString();
  std::ostringstream page;
  page << "<!DOCTYPE html>\n<html><head><meta charset='utf-8'><title>As run " << day
       << "</title><style>body{font-family:sans-serif;margin:16px}table{border-collapse:collapse;"
          "font-size:12px}td,th{border:1px solid #ccc;padding:2px 6px;text-align:left}</style>"
          "</head><body>\n<h1>As run "
       << day << "</h1>\n<p>" << html_escape(QString::fromStdString(report_summary(report)))
       << "</p>\n";
  page << "<h2>Starts</h2><table><tr><th>what</th><th>label</th><th>planned</th><th>aired</th>"
          "<th>late s</th></tr>\n";
  for (const StartComparison& start : report.starts) {
    page << "<tr><td>" << html_escape(start.what) << "</td><td>" << html_escape(start.label)
         << "</td><td>" << clock(start.planned) << "</td><td>"
         << (start.actual ? clock(*start.actual) : "not aired") << "</td><td>"
         << seconds(start.late_s) << "</td></tr>\n";
  }
  const auto items = [&page](const char* title, const std::vector<AiredItem>& list) {
    page << "</table>\n<h2>" << title << "</h2><table>";
    for (const AiredItem& item : list) {
      page << "<tr><td>" << clock(item.at) << "</td><td>" << html_escape(item.kind) << "</td><td>"
           << html_escape(item.file) << "</td></tr>\n";
    }
  };
  items("Planned, not aired", report.planned_not_aired);
  items("Aired, not planned", report.aired_not_planned);
  page << "</table>\n<h2>Ads</h2><table><tr><th>file</th><th>caption</th><th>aired</th>"
          "<th>played s</th><th>to its end</th></tr>\n";
  for (const AdAiring& airing : report.billing) {
    page << "<tr><td>" << html_escape(airing.file) << "</td><td>" << html_escape(airing.caption)
         << "</td><td>" << clock(airing.at) << "</td><td>" << seconds(airing.played_s)
         << "</td><td>" << (airing.complete ? (*airing.complete ? "yes" : "no") : "unknown")
         << "</td></tr>\n";
  }
  page << "</table>\n</body></html>\n";
  return page.str();
}

}  // namespace vantora::plan
