#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "app/plan/plan_output.h"

namespace vantora::plan {

namespace {

template <typename T>
nlohmann::json or_null(const std::optional<T>& value) {
  return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

}  // namespace

QString iso(const QDateTime& t) {
  return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

QDateTime from_iso(const std::string& text) {
  return QDateTime::fromString(QString::fromStdString(text),
                               QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

nlohmann::json plan_to_json(const DayPlan& plan) {
  nlohmann::json items = nlohmann::json::array();
  for (const AiredItem& item : plan.items) {
    items.push_back(
        {{"t", iso(item.at).toStdString()},
         {"kind", item.kind.toStdString()},
         {"file", item.file.toStdString()},
         {"caption", item.caption.toStdString()},
         {"start", or_null(item.start_s)},
         {"length", or_null(item.length_s)},
         {"scheduled", item.scheduled ? nlohmann::json(iso(*item.scheduled).toStdString())
                                      : nlohmann::json(nullptr)},
         {"late", or_null(item.late_s)},
         {"row", item.row.toStdString()},
         {"ok", item.ok}});
  }
  nlohmann::json breaks = nlohmann::json::array();
  nlohmann::json news = nlohmann::json::array();
  for (const AiredEvent& event : plan.events) {
    const std::string edge = event.fields.value(QStringLiteral("edge")).toString().toStdString();
    if (event.type == QStringLiteral("break")) {
      breaks.push_back({{"t", iso(event.t).toStdString()}, {"edge", edge}});
    } else if (event.type == QStringLiteral("news")) {
      news.push_back({{"t", iso(event.t).toStdString()}, {"edge", edge}});
    }
  }
  nlohmann::json spans = nlohmann::json::array();
  for (const Span& span : plan.spans) {
    spans.push_back({{"lane", span.lane.toStdString()},
                     {"from", iso(span.from).toStdString()},
                     {"to", iso(span.to).toStdString()},
                     {"label", span.label.toStdString()}});
  }
  nlohmann::json findings = nlohmann::json::array();
  for (const Finding& finding : plan.findings) {
    findings.push_back({{"t", iso(finding.at).toStdString()},
                        {"kind", finding.kind.toStdString()},
                        {"severity", severity_name(finding.severity)},
                        {"row", finding.row.toStdString()},
                        {"text", finding.text.toStdString()}});
  }
  nlohmann::json lengths = nlohmann::json::object();
  for (auto it = plan.lengths_s.constBegin(); it != plan.lengths_s.constEnd(); ++it) {
    lengths[it.key().toStdString()] = it.value();
  }
  return {{"from", iso(plan.from).toStdString()},
          {"until", iso(plan.until).toStdString()},
          {"verdict", plan.has_errors() ? "errors" : "ok"},
          {"items", items},
          {"breaks", breaks},
          {"news", news},
          {"spans", spans},
          {"findings", findings},
          {"lengths", lengths}};
}

DayPlan plan_from_json(const nlohmann::json& document) {
  DayPlan plan;
  plan.from = from_iso(document.value("from", ""));
  plan.until = from_iso(document.value("until", ""));
  for (const auto& entry : document.value("items", nlohmann::json::array())) {
    AiredItem item;
    item.at = from_iso(entry.value("t", ""));
    item.kind = QString::fromStdString(entry.value("kind", ""));
    item.file = QString::fromStdString(entry.value("file", ""));
    item.caption = QString::fromStdString(entry.value("caption", ""));
    if (entry.contains("start") && entry["start"].is_number()) {
      item.start_s = entry["start"].get<double>();
    }
    if (entry.contains("length") && entry["length"].is_number()) {
      item.length_s = entry["length"].get<double>();
    }
    if (entry.contains("scheduled") && entry["scheduled"].is_string()) {
      item.scheduled = from_iso(entry["scheduled"].get<std::string>());
    }
    item.row = QString::fromStdString(entry.value("row", ""));
    item.ok = entry.value("ok", true);
    plan.items.push_back(item);
  }
  for (const auto& entry : document.value("breaks", nlohmann::json::array())) {
    plan.events.push_back(
        {from_iso(entry.value("t", "")),
         QStringLiteral("break"),
         {{QStringLiteral("edge"), QString::fromStdString(entry.value("edge", ""))}}});
  }
  const nlohmann::json lengths = document.value("lengths", nlohmann::json::object());
  for (const auto& [file, seconds] : lengths.items()) {
    if (seconds.is_number()) {
      plan.lengths_s.insert(QString::fromStdString(file), seconds.get<double>());
    }
  }
  return plan;
}

bool write_text_file(const QString& path, const std::string& text) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return false;
  }
  file.write(text.data(), static_cast<qint64>(text.size()));
  return file.commit();
}

}  // namespace vantora::plan
