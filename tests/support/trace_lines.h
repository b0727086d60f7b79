#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/values.h"

namespace vantora::testing {

// Every line of a JSON Lines trace file, parsed.
inline std::vector<nlohmann::json> read_trace_lines(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
  std::vector<nlohmann::json> lines;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (!line.isEmpty()) {
      lines.push_back(nlohmann::json::parse(line.toStdString()));
    }
  }
  return lines;
}

// One traced event with its virtual time.
struct TracedEvent {
  DateTime at;
  nlohmann::json fields;

  std::string type() const { return text("type"); }
  std::string text(const char* field) const {
    const auto found = fields.find(field);
    return found != fields.end() && found->is_string() ? found->get<std::string>() : std::string();
  }
  double number(const char* field) const {
    const auto found = fields.find(field);
    return found != fields.end() && found->is_number() ? found->get<double>() : -1.0;
  }
};

// Every event of a trace file, of one type or of all when `type` is empty.
inline std::vector<TracedEvent> read_events(const QString& path, const std::string& type = {}) {
  std::vector<TracedEvent> found;
  for (nlohmann::json& line : read_trace_lines(path)) {
    TracedEvent e{DateTime(), std::move(line)};
    if (!type.empty() && e.type() != type) {
      continue;
    }
    values::parse_date_time(QString::fromStdString(e.text("t")).replace(u'T', u' '), &e.at);
    found.push_back(std::move(e));
  }
  return found;
}

}  // namespace vantora::testing
