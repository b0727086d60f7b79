#include <QApplication>
#include <cstdio>

#include "app/commands.h"

namespace vantora::app {

int run_channel(int argc, char** argv) {
  QApplication application(argc, argv);
  std::fprintf(stderr, "vantora-player: playing a channel is not built yet; try 'simulate'\n");
  return 2;
}

}  // namespace vantora::app
