#pragma once

#include <QString>
#include <QVariant>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string_view>

#include "core/shell/form_model.h"
#include "core/shell/playout_record.h"
#include "ports/runtime.h"

namespace vantora::sim {

// The simulator's event trace: JSON Lines, one object per event, each with "t" (virtual local
// time, ISO 8601 with milliseconds) and "type". The format is documented in docs/trace.md and
// tools outside the program read it, so fields are only ever added, never renamed.
//
// A trace without a file is the null back end: every call costs a branch and nothing more.
class Trace {
 public:
  explicit Trace(const ports::Runtime& clock);
  ~Trace();
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;

  // Opens (truncates) the file; false when it cannot be written.
  bool open(const QString& path);
  bool enabled() const { return file_ != nullptr; }
  // Pushes what was written to the file, for a reader while the run goes on.
  void flush();
  // Ends the file: later events are not written.
  void close();

  // Writes {"t": now, "type": type, ...fields}.
  void event(std::string_view type, nlohmann::json fields = nlohmann::json::object());

  void control(const QString& form, const QString& name, const QString& property,
               const QVariant& value);
  void error(std::int32_t number, const QString& description, const QString& procedure);
  // The wall clock was set from one reading to another.
  void clock_set(DateTime from, DateTime to);

  static nlohmann::json to_json(const QVariant& value);
  static std::string text(const QString& value) { return value.toStdString(); }

 private:
  const ports::Runtime& clock_;
  std::FILE* file_ = nullptr;
};

// Traces every property change of the forms it observes as a "control" event.
class TraceFormObserver final : public forms::FormObserver {
 public:
  explicit TraceFormObserver(Trace& trace) : trace_(trace) {}
  void property_changed(const QString& form, const QString& control, const QString& property,
                        const QVariant& value) override {
    trace_.control(form, control, property, value);
  }

 private:
  Trace& trace_;
};

// Traces what the player records as going on air: media starts, breaks, news, the day's start and
// the operator's actions, each under its own type.
class TracePlayoutObserver final : public PlayoutObserver {
 public:
  explicit TracePlayoutObserver(Trace& trace) : trace_(trace) {}
  void on_playout(const PlayoutEvent& event) override;

 private:
  Trace& trace_;
};

}  // namespace vantora::sim
