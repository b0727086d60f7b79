#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <nlohmann/json.hpp>
#include <vector>

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

}  // namespace vantora::testing
