#pragma once

#include <QVariant>
#include <nlohmann/json.hpp>

namespace vantora::platform {

// A control's or a record's value as JSON: null, booleans, numbers, lists of strings, and
// date-times as ISO texts with milliseconds; anything else as its text.
nlohmann::json to_json(const QVariant& value);

// One JSON Lines object: "t" and "type" first, so the line reads well by eye, then the fields.
std::string json_line(const QString& t, std::string_view type, nlohmann::json fields);

}  // namespace vantora::platform
