#pragma once

#include <QString>
#include <exception>
#include <new>
#include <optional>
#include <utility>

#include "base/errors.h"
#include "core/database/recordset.h"
#include "core/shell/error_log.h"

namespace vantora {

// What a guarded procedure does with a failing statement. The convention is to log it and go on;
// the two others serve the few procedures that treat errors apart.
enum class OnError {
  kLogAndGoOn,
  // Nothing is logged and the next statement runs: for a courtesy step whose failure is expected
  // or has already been reported.
  kDropAndGoOn,
  // A media error (err::is_media_error: the file is not media) ends the procedure without a log
  // line; every later statement is skipped. Other errors are logged and the next statement runs.
  kMediaErrorEnds,
  // The completion wait's time-out (287) and the empty error 0 are the normal answer of a clip
  // still playing, several times a second: not logged. Other errors are logged; all go on.
  kWaitTimeoutDropped,
  // The first error ends the procedure without a log line (a tick that will simply try again).
  kAnyErrorEnds,
};

// The value a guarded test counts as when it cannot be made. Each call site says which, because
// the safe answer differs: an end-of-table test that fails must end its loop, a flag that cannot
// be read must not count as set.
enum class Unreadable { kAsTrue, kAsFalse };

// The one error convention of every player procedure: name the procedure, then run each statement
// that can fail through the guard. A failing statement is logged with the procedure's label and
// the procedure goes on with the next statement; whatever the failed statement was assigning
// keeps its old value. The label is the guard's own, so a procedure called in between does not
// change whose error is logged.
//
//   Procedure proc(p.errors, QStringLiteral("Load_Start()"));
//   proc([&] { data.rsplaylist.open(); });
//   while (!at_end(proc, rs, Unreadable::kAsTrue)) { ... }
class Procedure {
 public:
  Procedure(ErrorLog& log, QString label, OnError policy = OnError::kLogAndGoOn)
      : log_(log), label_(std::move(label)), policy_(policy) {
    log_.ProcName = label_;
  }

  // Runs one statement; false when it failed or the procedure has ended.
  template <typename Statement>
  bool operator()(Statement&& statement) {
    if (ended()) {
      return false;
    }
    if (auto error = run(std::forward<Statement>(statement))) {
      raise(*error);
      return false;
    }
    return true;
  }

  // A test through the guard; `if_unreadable` when it cannot be made.
  template <typename Test>
  bool test(Test&& test, Unreadable if_unreadable) {
    bool result = if_unreadable == Unreadable::kAsTrue;
    (*this)([&] { result = std::forward<Test>(test)(); });
    return result;
  }

  // Treats an error found without a failing statement as if a statement had raised it. Once the
  // window is unloaded its procedures write nothing more, found errors included.
  void raise(const RuntimeError& error) {
    if (log_.window_unloaded) {
      return;
    }
    switch (policy_) {
      case OnError::kLogAndGoOn:
        break;
      case OnError::kDropAndGoOn:
        return;
      case OnError::kMediaErrorEnds:
        if (err::is_media_error(error.number())) {
          ended_ = true;
          return;
        }
        break;
      case OnError::kWaitTimeoutDropped:
        if (error.number() == err::kWaitTimedOut || error.number() == 0) {
          return;
        }
        break;
      case OnError::kAnyErrorEnds:
        ended_ = true;
        return;
    }
    log_.ErrNumber = error.number();
    log_.ErrDesc = error.description();
    log_.ProcName = label_;
    log_.Log_Error(log_.ErrNumber, log_.ErrDesc, log_.ProcName);
  }

  // An error ended the procedure (OnError::kMediaErrorEnds, kAnyErrorEnds), or its window was
  // unloaded while it waited. Loop tests then answer their `if_unreadable`, which every table
  // scan chooses so that the scan ends.
  bool ended() const { return ended_ || log_.window_unloaded; }

  const QString& label() const { return label_; }

 private:
  template <typename Statement>
  static std::optional<RuntimeError> run(Statement&& statement) {
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

  ErrorLog& log_;
  QString label_;
  OnError policy_;
  bool ended_ = false;
};

// The loop tests every table scan makes, through the guard.
inline bool at_end(Procedure& proc, const db::Recordset& rs, Unreadable if_unreadable) {
  return proc.test([&] { return rs.eof(); }, if_unreadable);
}
inline bool is_empty(Procedure& proc, const db::Recordset& rs, Unreadable if_unreadable) {
  return proc.test([&] { return rs.bof() && rs.eof(); }, if_unreadable);
}

}  // namespace vantora
