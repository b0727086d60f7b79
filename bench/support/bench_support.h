#pragma once

#include <benchmark/benchmark.h>

#include <vector>

namespace vantora::bench {

// The sample at `fraction` (0.5 the median) of the sorted samples, nearest rank below.
double percentile(std::vector<double> samples, double fraction);

// Sets the median, 99th percentile and worst of the samples as counters named p50_<unit>,
// p99_<unit> and max_<unit>; a case that ran no iteration reports nothing.
void report_latencies(benchmark::State& state, std::vector<double> samples, const char* unit);

// The process's resident set in KiB, from /proc; -1 when it cannot be read.
long rss_kb();

}  // namespace vantora::bench
