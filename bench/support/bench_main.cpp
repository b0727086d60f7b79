#include <benchmark/benchmark.h>

#include <QCoreApplication>

// Every benchmark program runs its cases inside a Qt application: the player's code expects one.
int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
