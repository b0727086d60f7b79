#include "tests/platform/x_server.h"

#include "platform/x11/x11_desktop.h"
#include "support/wait_until.h"

namespace vantora::testing {

XServer::XServer(WindowManager manager) {
  // Xvfb writes the display number it chose to the given descriptor: its standard output here.
  xvfb_.setStandardErrorFile(QProcess::nullDevice());
  xvfb_.start(QStringLiteral("Xvfb"),
              {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
  QByteArray number;
  while (!number.contains('\n') && xvfb_.waitForReadyRead(10000)) {
    number += xvfb_.readAllStandardOutput();
  }
  if (number.trimmed().isEmpty()) {
    problem_ = QStringLiteral("Xvfb did not start");
    return;
  }
  const QString display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());

  if (manager == WindowManager::kOpenbox) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    openbox_.setProcessEnvironment(environment);
    openbox_.setStandardOutputFile(QProcess::nullDevice());
    openbox_.setStandardErrorFile(QProcess::nullDevice());
    openbox_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    platform::X11Desktop probe(display);
    if (!wait_until([&] { return probe.connected() && probe.window_manager_running(); }, 10000)) {
      problem_ = QStringLiteral("openbox did not start");
      return;
    }
  }
  display_ = display;
}

XServer::~XServer() {
  // Asked, not killed: a killed Xvfb leaves its lock file and socket behind. The programs the
  // test started on this screen end with their server.
  for (QProcess* process : {&openbox_, &xvfb_}) {
    process->terminate();
    process->waitForFinished(2000);
  }
}

}  // namespace vantora::testing
