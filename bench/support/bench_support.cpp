#include "bench_support.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <string>

namespace vantora::bench {

double percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) {
    return 0;
  }
  std::sort(samples.begin(), samples.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
  return samples[index];
}

void report_latencies(benchmark::State& state, std::vector<double> samples, const char* unit) {
  if (samples.empty()) {
    return;
  }
  std::sort(samples.begin(), samples.end());
  const std::string suffix = std::string("_") + unit;
  state.counters["p50" + suffix] = percentile(samples, 0.50);
  state.counters["p99" + suffix] = percentile(samples, 0.99);
  state.counters["max" + suffix] = samples.back();
}

long rss_kb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) {
    return -1;
  }
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) {
      return line.mid(6).trimmed().split(' ').first().toLong();
    }
  }
  return -1;
}

}  // namespace vantora::bench
