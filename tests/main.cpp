#include <gtest/gtest.h>

#include <QApplication>

// Every test runs with an application object: the Qt runtime's timers and the widget views need
// one. Without a display the offscreen platform serves.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
