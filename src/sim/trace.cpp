#include "sim/trace.h"

#include <QStringList>

#include "base/values.h"

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
  if (listener_) {
    listener_(type, fields);
  }
  if (file_ == nullptr) {
    return;
  }
  // "t" and "type" lead every line, so the file reads well by eye.
  nlohmann::ordered_json line = nlohmann::ordered_json::object();
  line["t"] = date_time::to_iso_ms(clock_.now()).toStdString();
  line["type"] = type;
  for (auto& [key, value] : fields.items()) {
    line[key] = std::move(value);
  }
  const std::string text =
      line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fputc('\n', file_);
}

void Trace::control(const QString& form, const QString& name, const QString& property,
                    const QVariant& value) {
  if (!enabled()) {
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
  if (values::is_null(value)) {
    return nullptr;
  }
  if (value.typeId() == qMetaTypeId<DateTime>()) {
    return date_time::to_iso_ms(value.value<DateTime>()).toStdString();
  }
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool();
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
      return value.toLongLong();
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
      return value.toULongLong();
    case QMetaType::Float:
    case QMetaType::Double:
      return value.toDouble();
    case QMetaType::QStringList: {
      nlohmann::json list = nlohmann::json::array();
      for (const QString& item : value.toStringList()) {
        list.push_back(item.toStdString());
      }
      return list;
    }
    default:
      return value.toString().toStdString();
  }
}

void Trace::clock_set(DateTime from, DateTime to) {
  if (!enabled()) {
    return;
  }
  event("clock", {{"time", text(date_time::to_iso_ms(to).mid(11))},
                  {"from", text(date_time::to_iso_ms(from))},
                  {"to", text(date_time::to_iso_ms(to))}});
}

}  // namespace vantora::sim
