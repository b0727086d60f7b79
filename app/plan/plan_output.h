#pragma once

#include <QString>
#include <nlohmann/json.hpp>
#include <string>

#include "app/plan/day_plan.h"

namespace vantora::plan {

// The plan for machines: items, spans, findings and the lengths of the files that aired. The
// saved plan the day report reads is this document.
nlohmann::json plan_to_json(const DayPlan& plan);
// The parts of a saved plan the report needs: items and lengths.
DayPlan plan_from_json(const nlohmann::json& document);

// The first lines a person reads: the verdict, the counts and the worst findings.
std::string plan_summary(const DayPlan& plan, int worst_shown = 10);

// One self-contained page: the day as an SVG timeline with a lane each for shows, breaks, news
// and filler, the findings marked on it, and the tables below.
std::string plan_html(const DayPlan& plan, const QString& title);

// Shared by the pages: text made safe for HTML.
std::string html_escape(const QString& text);
QString iso(const QDateTime& t);
QDateTime from_iso(const std::string& text);

bool write_text_file(const QString& path, const std::string& text);

}  // namespace vantora::plan
