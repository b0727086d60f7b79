#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/commands.h"
#include "app/plan/day_report.h"
#include "app/plan/plan_output.h"
#include "platform/asrun/as_run_log.h"

namespace vantora::app {

int run_report(int argc, char** argv, const ReportArguments& args) {
  QCoreApplication application(argc, argv);
  const QDate day = QDate::fromString(QString::fromStdString(args.day), Qt::ISODate);
  if (!day.isValid()) {
    std::fprintf(stderr, "--day wants YYYY-MM-DD, got \"%s\"\n", args.day.c_str());
    return 2;
  }
  const QString data_folder = QString::fromStdString(args.data_folder);
  QFile saved(
      QDir(data_folder).filePath(QStringLiteral("plans/%1.json").arg(day.toString(Qt::ISODate))));
  if (!saved.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "no saved plan %s (plan --save makes it)\n", qPrintable(saved.fileName()));
    return 2;
  }
  const nlohmann::json document =
      nlohmann::json::parse(saved.readAll().toStdString(), nullptr, false);
  if (!document.is_object()) {
    std::fprintf(stderr, "the saved plan %s is not JSON\n", qPrintable(saved.fileName()));
    return 2;
  }
  QString error;
  const auto as_run = plan::read_as_run(platform::AsRunLog::file_for(data_folder, day), &error);
  if (!error.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 2;
  }
  const plan::DayReport report = plan::compare_day(plan::plan_from_json(document), as_run, day);
  std::fputs(plan::report_summary(report).c_str(), stdout);
  bool written = true;
  if (!args.html_path.empty()) {
    written =
        plan::write_text_file(QString::fromStdString(args.html_path), plan::report_html(report)) &&
        written;
  }
  if (!args.csv_path.empty()) {
    written =
        plan::write_text_file(QString::fromStdString(args.csv_path), plan::billing_csv(report)) &&
        written;
  }
  if (!written) {
    std::fprintf(stderr, "a report file could not be written\n");
    return 2;
  }
  return 0;
}

}  // namespace vantora::app
