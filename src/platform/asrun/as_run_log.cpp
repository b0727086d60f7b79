#include "platform/asrun/as_run_log.h"

#include <QDir>
#include <QFile>
#include <cstdio>

#include "base/date_time.h"
#include "base/errors.h"
#include "platform/asrun/json_value.h"

namespace vantora::platform {

AsRunLog::AsRunLog(const ports::Runtime& clock, QString data_folder)
    : clock_(clock), data_folder_(std::move(data_folder)) {}

QString AsRunLog::folder(const QString& data_folder) {
  return QDir(data_folder).filePath(QStringLiteral("as-run"));
}

QString AsRunLog::file_for(const QString& data_folder, QDate day) {
  return QDir(folder(data_folder)).filePath(day.toString(Qt::ISODate) + QStringLiteral(".jsonl"));
}

void AsRunLog::attach(PlayoutRecord& record, ErrorLog& errors) {
  record.add_observer(this);
  errors.add_listener([this](const LoggedError& entry) { on_error(entry); });
  errors_ = &errors;
}

void AsRunLog::on_playout(const PlayoutEvent& event) {
  nlohmann::json fields = nlohmann::json::object();
  for (auto it = event.fields.constBegin(); it != event.fields.constEnd(); ++it) {
    fields[it.key().toStdString()] = to_json(it.value());
  }
  const DateTime now = clock_.now();
  append(json_line(date_time::to_iso_ms(now), event.type.toStdString(), std::move(fields)),
         date_time::to_qdatetime(now).date());
}

void AsRunLog::on_error(const LoggedError& entry) {
  // The line about a failed write is not written again into the file that just failed.
  if (reporting_failure_) {
    return;
  }
  append(json_line(date_time::to_iso_ms(entry.at), "error",
                   {{"number", entry.number},
                    {"description", entry.description.toStdString()},
                    {"procedure", entry.procedure.toStdString()}}),
         date_time::to_qdatetime(entry.at).date());
}

void AsRunLog::append(const std::string& line, QDate day) {
  if (day != begun_) {
    begun_ = day;
    QDir().mkpath(folder(data_folder_));
    delete_old_days(day);
  }
  const QString path = file_for(data_folder_, day);
  std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "ab");
  bool written = file != nullptr;
  if (file != nullptr) {
    written = std::fwrite(line.data(), 1, line.size(), file) == line.size() &&
              std::fputc('\n', file) != EOF;
    written = std::fclose(file) == 0 && written;
  }
  if (written || errors_ == nullptr) {
    return;
  }
  reporting_failure_ = true;
  errors_->Log_Error(err::kPathFileAccessError, QStringLiteral("cannot append to ") + path,
                     QStringLiteral("AsRun_Write()"));
  reporting_failure_ = false;
}

void AsRunLog::delete_old_days(QDate today) {
  const QDate oldest_kept = today.addDays(-kKeptDays);
  QDir dir(folder(data_folder_));
  for (const QString& name : dir.entryList({QStringLiteral("*.jsonl")}, QDir::Files)) {
    const QDate day = QDate::fromString(name.left(10), Qt::ISODate);
    if (day.isValid() && day < oldest_kept) {
      dir.remove(name);
    }
  }
}

}  // namespace vantora::platform
