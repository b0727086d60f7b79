#include <array>
#include <sstream>

#include "app/plan/plan_output.h"

namespace vantora::plan {

namespace {

constexpr std::array kLanes{"shows", "breaks", "news", "filler"};
constexpr std::array kLaneColours{"#3b78c4", "#d98b1c", "#2c9c5a", "#8a8f99"};
constexpr int kWidth_px = 1200;
constexpr int kLabel_px = 70;
constexpr int kLane_px = 34;
constexpr int kTop_px = 24;

std::string text(const QString& value) {
  return html_escape(value);
}

std::string clock(const QDateTime& t) {
  return t.toString(QStringLiteral("HH:mm:ss")).toStdString();
}

// The day as SVG: hours along the top, one lane per kind, findings as marks over the lanes.
std::string timeline(const DayPlan& plan) {
  const double span_ms = std::max<double>(1.0, static_cast<double>(plan.from.msecsTo(plan.until)));
  const double scale = (kWidth_px - kLabel_px - 10) / span_ms;
  auto x = [&](const QDateTime& t) {
    return kLabel_px + std::clamp(static_cast<double>(plan.from.msecsTo(t)), 0.0, span_ms) * scale;
  };
  const int height_px = kTop_px + static_cast<int>(kLanes.size()) * kLane_px + 30;
  std::ostringstream svg;
  svg << "<svg xmlns='http://www.w3.org/2000/svg' width='" << kWidth_px << "' height='" << height_px
      << "' font-family='sans-serif' font-size='11'>\n";
  svg << "<rect width='100%' height='100%' fill='#ffffff'/>\n";
  for (QDateTime hour(plan.from.date(), QTime(plan.from.time().hour(), 0)); hour <= plan.until;
       hour = hour.addSecs(3600)) {
    if (hour < plan.from) {
      continue;
    }
    svg << "<line x1='" << x(hour) << "' y1='" << kTop_px - 6 << "' x2='" << x(hour) << "' y2='"
        << height_px - 24 << "' stroke='#dddddd'/>";
    // The last hour's label ends at its line, inside the picture.
    const bool at_right_edge = x(hour) > kWidth_px - 40;
    svg << "<text x='" << x(hour) + (at_right_edge ? -2 : 2) << "' y='" << kTop_px - 10 << "'"
        << (at_right_edge ? " text-anchor='end'" : "") << ">"
        << hour.toString(QStringLiteral("HH:mm")).toStdString() << "</text>\n";
  }
  for (std::size_t lane = 0; lane < kLanes.size(); ++lane) {
    const int y = kTop_px + static_cast<int>(lane) * kLane_px;
    svg << "<g class='lane' id='lane-" << kLanes[lane] << "'><text x='4' y='" << y + 20 << "'>"
        << kLanes[lane] << "</text>";
    for (const Span& span : plan.spans) {
      if (span.lane.toStdString() != kLanes[lane]) {
        continue;
      }
      const double left = x(span.from);
      const double width = std::max(1.0, x(span.to) - left);
      svg << "<rect x='" << left << "' y='" << y + 4 << "' width='" << width << "' height='"
          << kLane_px - 8 << "' fill='" << kLaneColours[lane] << "'><title>" << clock(span.from)
          << "-" << clock(span.to) << " " << text(span.label) << "</title></rect>";
    }
    svg << "</g>\n";
  }
  const int marks_y = kTop_px + static_cast<int>(kLanes.size()) * kLane_px + 4;
  for (const Finding& finding : plan.findings) {
    const double at = x(finding.at);
    const char* colour = finding.severity == Severity::kError ? "#d0021b" : "#f5a623";
    svg << "<g class='finding'><line x1='" << at << "' y1='" << kTop_px << "' x2='" << at
        << "' y2='" << marks_y << "' stroke='" << colour << "' stroke-width='1.5'/>"
        << "<polygon points='" << at - 5 << "," << marks_y + 10 << " " << at + 5 << ","
        << marks_y + 10 << " " << at << "," << marks_y << "' fill='" << colour << "'><title>"
        << clock(finding.at) << " " << text(finding.text) << "</title></polygon></g>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace

std::string html_escape(const QString& value) {
  return value.toHtmlEscaped().toStdString();
}

std::string plan_html(const DayPlan& plan, const QString& title) {
  std::ostringstream page;
  page << "<!DOCTYPE html>\n<html><head><meta charset='utf-8'><title>" << text(title)
       << "</title>\n<style>body{font-family:sans-serif;margin:16px}table{border-collapse:"
          "collapse;font-size:12px}td,th{border:1px solid #ccc;padding:2px 6px;text-align:left}"
          ".error{color:#d0021b}.warning{color:#b26b00}</style></head><body>\n";
  page << "<h1>" << text(title) << "</h1>\n<p>" << text(iso(plan.from)) << " to "
       << text(iso(plan.until)) << ": <b>" << (plan.has_errors() ? "errors found" : "no errors")
       << "</b>, " << plan.items.size() << " items, " << plan.findings.size() << " findings.</p>\n";
  page << timeline(plan);
  page << "<h2>Findings</h2>\n<table><tr><th>time</th><th>severity</th><th>kind</th><th>row</th>"
          "<th>what</th></tr>\n";
  for (const Finding& finding : plan.findings) {
    page << "<tr class='" << severity_name(finding.severity) << "'><td>" << clock(finding.at)
         << "</td><td>" << severity_name(finding.severity) << "</td><td>" << text(finding.kind)
         << "</td><td>" << text(finding.row) << "</td><td>" << text(finding.text) << "</td></tr>\n";
  }
  page << "</table>\n<h2>Items</h2>\n<table><tr><th>time</th><th>kind</th><th>caption</th>"
          "<th>file</th><th>from s</th><th>scheduled</th><th>late s</th></tr>\n";
  for (const AiredItem& item : plan.items) {
    page << "<tr" << (item.ok ? "" : " class='error'") << "><td>" << clock(item.at) << "</td><td>"
         << text(item.kind) << "</td><td>" << text(item.caption) << "</td><td>" << text(item.file)
         << "</td><td>"
         << (item.start_s ? QString::number(*item.start_s, 'f', 1).toStdString() : "-")
         << "</td><td>" << (item.scheduled ? clock(*item.scheduled) : "") << "</td><td>"
         << (item.late_s ? QString::number(*item.late_s, 'f', 1).toStdString() : "")
         << "</td></tr>\n";
  }
  page << "</table>\n</body></html>\n";
  return page.str();
}

std::string plan_summary(const DayPlan& plan, int worst_shown) {
  int errors = 0;
  int warnings = 0;
  for (const Finding& finding : plan.findings) {
    errors += finding.severity == Severity::kError ? 1 : 0;
    warnings += finding.severity == Severity::kWarning ? 1 : 0;
  }
  std::ostringstream out;
  out << "plan " << iso(plan.from).toStdString() << " to " << iso(plan.until).toStdString() << ": "
      << (errors > 0 ? "ERRORS" : "OK") << " (" << errors << " errors, " << warnings
      << " warnings, " << plan.items.size() << " items)\n";
  int shown = 0;
  for (const Finding& finding : plan.findings) {
    if (shown++ == worst_shown) {
      out << "  ... " << plan.findings.size() - static_cast<std::size_t>(worst_shown) << " more\n";
      break;
    }
    out << "  " << clock(finding.at) << " " << severity_name(finding.severity) << " "
        << finding.kind.toStdString();
    if (!finding.row.isEmpty()) {
      out << " [" << finding.row.toStdString() << "]";
    }
    out << ": " << finding.text.toStdString() << "\n";
  }
  return out.str();
}

}  // namespace vantora::plan
