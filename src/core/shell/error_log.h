#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "ports/runtime.h"

namespace vantora {

// One line written to error.txt, as it was written.
struct LoggedError {
  DateTime at;
  std::int32_t number = 0;
  QString description;
  QString procedure;
};

// The player's error log: error.txt in the data folder, appended one line per error, never shown
// on screen. The four variables keep their classic names: every procedure's handler fills
// ErrNumber and ErrDesc and the log remembers the last number it wrote.
class ErrorLog {
 public:
  explicit ErrorLog(const ports::Runtime& clock, QString data_folder = {});

  void set_data_folder(QString data_folder) { data_folder_ = std::move(data_folder); }
  const QString& data_folder() const { return data_folder_; }
  QString file_path() const;

  // Writes "<date> <time> <number> <description> in <procedure>" followed by CR LF, unless the
  // number equals the last one written: a run of the same error costs one line. When the file
  // cannot be opened the line goes to standard error and the player goes on.
  void Log_Error(std::int32_t errNumber, const QString& errDesc, const QString& procName);

  // The form's load starts the log state afresh.
  void reset();

  // Called for each line written (the simulator traces them).
  void add_listener(std::function<void(const LoggedError&)> listener);

  // Set once the window whose procedures log here has been unloaded. A procedure that was waiting
  // at that moment (the unload ran inside its wait) resumes into a window that is gone: its
  // recordsets are closed, its graph released and the designer told to close. From then on its
  // statements do not run; see Procedure.
  bool window_unloaded = false;

  QString ProcName;
  std::int32_t ErrNumber = 0;
  QString ErrDesc;
  std::int32_t LastErrNumber = 0;

 private:
  const ports::Runtime& clock_;
  QString data_folder_;
  std::vector<std::function<void(const LoggedError&)>> listeners_;
};

}  // namespace vantora
