#pragma once

#include <QString>
#include <exception>
#include <new>
#include <optional>
#include <utility>

#include "base/errors.h"
#include "core/shell/error_log.h"

namespace vantora {

// The error convention of every player procedure: name the procedure, then run each statement
// that can fail through the guard. A failing statement is logged with the procedure's label and
// the procedure goes on with the next statement; whatever the failed statement was assigning
// keeps its old value.
//
//   Procedure proc(log, "Load_Start()");
//   proc([&] { data.rsplaylist.open(); });
//   proc([&] { StartTolerance = values::to_int32(ini.field(0)); });
class Procedure {
 public:
  Procedure(ErrorLog& log, QString label) : log_(log), label_(std::move(label)) {
    log_.ProcName = label_;
  }

  // Runs one statement; false when it failed (and was logged).
  template <typename Statement>
  bool operator()(Statement&& statement) {
    if (auto error = attempt(std::forward<Statement>(statement))) {
      handle(*error);
      return false;
    }
    return true;
  }

  // Runs one statement and hands its error back unlogged, for the handlers that treat some
  // errors apart; handle() logs one the caller decides to log after all.
  template <typename Statement>
  static std::optional<RuntimeError> attempt(Statement&& statement) {
    try {
      std::forward<Statement>(statement)();
    } catch (const RuntimeError& error) {
      return error;
    } catch (const std::bad_alloc&) {
      return RuntimeError(err::kOutOfMemory);
    } catch (const std::exception& error) {
      return RuntimeError(err::kInternalError, QString::fromLocal8Bit(error.what()));
    }
    return std::nullopt;
  }

  void handle(const RuntimeError& error) {
    log_.ErrNumber = error.number();
    log_.ErrDesc = error.description();
    // The label is this procedure's own even when a procedure it called renamed ProcName.
    log_.ProcName = label_;
    log_.Log_Error(log_.ErrNumber, log_.ErrDesc, log_.ProcName);
  }

  const QString& label() const { return label_; }

 private:
  ErrorLog& log_;
  QString label_;
};

}  // namespace vantora
