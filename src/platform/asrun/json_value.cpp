#include "platform/asrun/json_value.h"

#include <QStringList>

#include "base/date_time.h"
#include "base/values.h"

namespace vantora::platform {

nlohmann::json to_json(const QVariant& value) {
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

std::string json_line(const QString& t, std::string_view type, nlohmann::json fields) {
  nlohmann::ordered_json line = nlohmann::ordered_json::object();
  line["t"] = t.toStdString();
  line["type"] = type;
  for (auto& [key, value] : fields.items()) {
    line[key] = std::move(value);
  }
  return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace vantora::platform
