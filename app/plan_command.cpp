#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>

#include "app/commands.h"
#include "app/plan/plan_day.h"
#include "app/plan/plan_output.h"
#include "base/errors.h"
#include "platform/mpv/mpv_engine.h"

namespace vantora::app {

namespace {

QDateTime parse_moment(const std::string& text, const QDateTime& fallback) {
  if (text.empty()) {
    return fallback;
  }
  return QDateTime::fromString(QString::fromStdString(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

int run_plan(int argc, char** argv, const PlanArguments& args) {
  QCoreApplication application(argc, argv);
  const QString data_folder = QDir(QString::fromStdString(args.data_folder)).absolutePath();
  if (!QDir(data_folder).exists()) {
    std::fprintf(stderr, "the data folder %s does not exist\n", qPrintable(data_folder));
    return 2;
  }
  plan::PlanRequest request;
  request.data_folder = data_folder;
  const QDateTime now = QDateTime::currentDateTime();
  request.start =
      parse_moment(args.start, QDateTime(now.date(), now.time().addMSecs(-now.time().msec())));
  if (!request.start.isValid()) {
    std::fprintf(stderr, "--start wants \"YYYY-MM-DD HH:MM:SS\", got \"%s\"\n", args.start.c_str());
    return 2;
  }
  request.until = parse_moment(args.until, QDateTime(request.start.date().addDays(1), QTime(0, 0)));
  if (!request.until.isValid() || request.until <= request.start) {
    std::fprintf(stderr, "--until wants \"YYYY-MM-DD HH:MM:SS\" after the start, got \"%s\"\n",
                 args.until.c_str());
    return 2;
  }
  // The real engine opens only when a file is not in the cache yet.
  request.probe = platform::lazy_duration_probe();
  request.cache_path = plan::MediaLengths::default_cache_path();
  request.progress = isatty(STDERR_FILENO) != 0 ? plan::Progress::kBar : plan::Progress::kNone;
  request.timing = plan::channel_timing(data_folder);

  QElapsedTimer clock;
  clock.start();
  const plan::PlanResult result = plan::make_plan(request);
  if (!result.error.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(result.error));
    return 2;
  }
  const plan::DayPlan& day = result.plan;
  std::fputs(plan::plan_summary(day).c_str(), stdout);
  std::printf("planned in %.2f s (%d files probed)\n",
              static_cast<double>(clock.elapsed()) / 1000.0, result.probed);

  const std::string json = plan::plan_to_json(day).dump(1);
  bool written = true;
  if (!args.json_path.empty()) {
    written = plan::write_text_file(QString::fromStdString(args.json_path), json) && written;
  }
  if (!args.html_path.empty()) {
    written =
        plan::write_text_file(
            QString::fromStdString(args.html_path),
            plan::plan_html(
                day, QStringLiteral("Plan of %1").arg(day.from.date().toString(Qt::ISODate)))) &&
        written;
  }
  if (args.save) {
    const QString saved =
        QDir(data_folder)
            .filePath(QStringLiteral("plans/%1.json").arg(day.from.date().toString(Qt::ISODate)));
    written = plan::write_text_file(saved, json) && written;
  }
  if (!written) {
    std::fprintf(stderr, "a plan file could not be written\n");
    return 2;
  }
  return day.has_errors() ? 1 : 0;
}

}  // namespace vantora::app
