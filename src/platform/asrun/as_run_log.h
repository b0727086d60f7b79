#pragma once

#include <QDate>
#include <QString>

#include "core/shell/error_log.h"
#include "core/shell/playout_record.h"
#include "ports/runtime.h"

namespace vantora::platform {

// The as-run log: what went on air, appended to as-run/YYYY-MM-DD.jsonl in the data folder, one
// JSON object a line with the trace's field names and the player's own clock as "t". It observes
// the player's record and its error log. Each line is opened, appended and closed, so a player
// killed at any moment leaves whole lines; a line that cannot be written is one error line and
// playback goes on.
class AsRunLog final : public PlayoutObserver {
 public:
  // Files of days older than this are deleted when a day's file is begun.
  static constexpr int kKeptDays = 31;

  AsRunLog(const ports::Runtime& clock, QString data_folder);

  // Listens to a newly loaded player window: its record and its error lines.
  void attach(PlayoutRecord& record, ErrorLog& errors);

  void on_playout(const PlayoutEvent& event) override;
  // The program's start-up began: a plan learns from it how long a real start-up takes to reach
  // its first picture.
  void record_startup() { on_playout({QStringLiteral("startup"), {}}); }
  void on_error(const LoggedError& entry);

  static QString folder(const QString& data_folder);
  static QString file_for(const QString& data_folder, QDate day);

 private:
  void append(const std::string& line, QDate day);
  void delete_old_days(QDate today);

  const ports::Runtime& clock_;
  QString data_folder_;
  ErrorLog* errors_ = nullptr;
  QDate begun_;
  bool reporting_failure_ = false;
};

}  // namespace vantora::platform
