#include "app/plan/plan_day.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>

#include "app/plan/day_report.h"
#include "app/plan/dry_run.h"

namespace vantora::plan {

namespace {

void add_folder_files(const QString& folder, QStringList& paths) {
  if (folder.isEmpty()) {
    return;
  }
  const QDir dir(folder);
  for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
    paths << dir.filePath(name);
  }
}

// Every file the day may play, so the probing happens once, up front, with its progress shown.
QStringList files_of_the_day(const ScheduleFacts& facts, const PlanRequest& request) {
  QStringList paths;
  for (const SegmentRow& row : facts.segments) {
    if (row.start.isValid() && row.start >= request.start.addDays(-1) &&
        row.start < request.until) {
      paths << row.file;
    }
  }
  for (const AdRow& ad : facts.ads) {
    if (ad.last >= request.start.date() && ad.first <= request.until.date()) {
      paths << ad.file;
    }
  }
  for (const FillerRow& row : facts.filler) {
    add_folder_files(row.folder, paths);
  }
  add_folder_files(facts.default_filler_folder, paths);
  add_folder_files(facts.emergency_folder, paths);
  for (const NewsRow& news : facts.news) {
    add_folder_files(news.folder, paths);
  }
  paths.removeDuplicates();
  return paths;
}

}  // namespace

RealTiming channel_timing(const QString& data_folder) {
  // The real engine started the demo channel's clips in 35 to 140 ms on a busy two-core machine.
  constexpr int kTypicalRender_ms = 60;
  RealTiming timing{kTypicalRender_ms, std::nullopt};
  const QFileInfoList logs =
      QDir(QDir(data_folder).filePath(QStringLiteral("as-run")))
          .entryInfoList({QStringLiteral("*.jsonl")}, QDir::Files, QDir::Name | QDir::Reversed);
  if (logs.isEmpty()) {
    return timing;
  }
  QString error;
  std::vector<qint64> render_ms;
  QDateTime startup;
  for (const AiredEvent& event : read_as_run(logs.front().filePath(), &error)) {
    const QVariant value = event.fields.value(QStringLiteral("render_ms"));
    if (event.type == QStringLiteral("media") && value.isValid() && !value.isNull()) {
      render_ms.push_back(value.toLongLong());
    } else if (event.type == QStringLiteral("startup")) {
      startup = event.t;
    } else if (event.type == QStringLiteral("show") && startup.isValid()) {
      timing.startup_ms = startup.msecsTo(event.t);
      startup = {};
    }
  }
  if (!render_ms.empty()) {
    std::nth_element(render_ms.begin(), render_ms.begin() + render_ms.size() / 2, render_ms.end());
    timing.render_ms = static_cast<int>(render_ms[render_ms.size() / 2]);
  }
  return timing;
}

PlanResult make_plan(const PlanRequest& request) {
  PlanResult result;
  if (!request.start.isValid() || !request.until.isValid() || request.until <= request.start) {
    result.error = QStringLiteral("the span to plan is empty");
    return result;
  }
  QTemporaryDir work;
  if (!work.isValid()) {
    result.error = QStringLiteral("cannot make a work folder: %1").arg(work.errorString());
    return result;
  }
  result.error = prepare_work_copy(request.data_folder, work.path());
  if (!result.error.isEmpty()) {
    return result;
  }
  const ScheduleFacts facts =
      read_schedule(QDir(work.path()).filePath(QStringLiteral("wizard.db")), &result.error);
  if (!result.error.isEmpty()) {
    return result;
  }

  MediaLengths lengths(request.probe, request.cache_path);
  lengths.probe_all(files_of_the_day(facts, request), request.progress);

  DayPlan& plan = result.plan;
  plan.from = request.start;
  plan.until = request.until;
  plan.events = run_dry(work.path(), request.start, request.start.secsTo(request.until), lengths,
                        request.timing);
  plan.items = aired_items(plan.events, &facts, &lengths, facts.emergency_folder);
  plan.spans = spans_of(plan.items, plan.until);
  for (const AiredItem& item : plan.items) {
    if (item.length_s) {
      plan.lengths_s.insert(item.file, *item.length_s);
    }
  }
  plan.findings = find_problems(facts, plan, lengths);
  result.probed = lengths.probed();
  lengths.save();
  return result;
}

}  // namespace vantora::plan
