#include "core/shell/error_log.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace vantora {

ErrorLog::ErrorLog(const ports::Runtime& clock, QString data_folder)
    : clock_(clock), data_folder_(std::move(data_folder)) {}

QString ErrorLog::file_path() const {
  return QDir(data_folder_).filePath(QStringLiteral("error.txt"));
}

void ErrorLog::reset() {
  ProcName.clear();
  ErrNumber = 0;
  ErrDesc.clear();
  LastErrNumber = 0;
}

void ErrorLog::add_listener(std::function<void(const LoggedError&)> listener) {
  listeners_.push_back(std::move(listener));
}

void ErrorLog::Log_Error(std::int32_t errNumber, const QString& errDesc, const QString& procName) {
  if (errNumber == LastErrNumber) {
    return;
  }
  LastErrNumber = errNumber;

  const LoggedError entry{date_time::truncate_to_second(clock_.now()), errNumber, errDesc,
                          procName};
  const QString line = date_time::to_text(entry.at) + QLatin1Char(' ') +
                       QString::number(errNumber) + QLatin1Char(' ') + errDesc +
                       QStringLiteral(" in ") + procName;

  QFile file(file_path());
  const bool written = !data_folder_.isEmpty() &&
                       file.open(QIODevice::WriteOnly | QIODevice::Append) &&
                       file.write((line + QStringLiteral("\r\n")).toUtf8()) >= 0;
  file.close();
  if (!written) {
    std::fprintf(stderr, "error.txt not writable (%s): %s\n", qPrintable(file_path()),
                 qPrintable(line));
  }
  for (const auto& listener : listeners_) {
    listener(entry);
  }
}

}  // namespace vantora
