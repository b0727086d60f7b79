#include "sim/trace.h"

#include "base/date_time.h"
#include "platform/asrun/json_value.h"

namespace vantora::sim {

Trace::Trace(const ports::Runtime& clock) : clock_(clock) {}

Trace::~Trace() {
  close();
}

void Trace::close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

bool Trace::open(const QString& path) {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
  file_ = std::fopen(path.toLocal8Bit().constData(), "wb");
  return file_ != nullptr;
}

void Trace::flush() {
  if (file_ != nullptr) {
    std::fflush(file_);
  }
}

void Trace::event(std::string_view type, nlohmann::json fields) {
  if (file_ == nullptr) {
    return;
  }
  const std::string text =
      platform::json_line(date_time::to_iso_ms(clock_.now()), type, std::move(fields));
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fputc('\n', file_);
}

void Trace::control(const QString& form, const QString& name, const QString& property,
                    const QVariant& value) {
  if (file_ == nullptr) {
    return;
  }
  event("control", {{"form", text(form)},
                    {"name", text(name)},
                    {"prop", text(property)},
                    {"value", to_json(value)}});
}

void Trace::error(std::int32_t number, const QString& description, const QString& procedure) {
  event("error",
        {{"number", number}, {"description", text(description)}, {"procedure", text(procedure)}});
}

nlohmann::json Trace::to_json(const QVariant& value) {
  return platform::to_json(value);
}

void Trace::clock_set(DateTime from, DateTime to) {
  if (!enabled()) {
    return;
  }
  event("clock", {{"time", text(date_time::to_iso_ms(to).mid(11))},
                  {"from", text(date_time::to_iso_ms(from))},
                  {"to", text(date_time::to_iso_ms(to))}});
}

void TracePlayoutObserver::on_playout(const PlayoutEvent& event) {
  if (!trace_.enabled()) {
    return;
  }
  nlohmann::json fields = nlohmann::json::object();
  for (auto it = event.fields.constBegin(); it != event.fields.constEnd(); ++it) {
    fields[it.key().toStdString()] = Trace::to_json(it.value());
  }
  trace_.event(event.type.toStdString(), std::move(fields));
}

}  // namespace vantora::sim
