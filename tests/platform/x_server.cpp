#include "tests/platform/x_server.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QThread>
#include <csignal>
#include <cstdlib>
#include <string>

#include "platform/x11/x11_desktop.h"

namespace vantora::testing {
namespace {

pid_t spawn(const std::string& display, const char* const* argv, int keep_fd = -1) {
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    if (!display.empty()) {
      setenv("DISPLAY", display.c_str(), 1);
    }
    for (int fd = 3; fd < 256; ++fd) {
      if (fd != keep_fd) {
        close(fd);
      }
    }
    execvp(argv[0], const_cast<char* const*>(argv));
    _exit(127);
  }
  return pid;
}

void stop(pid_t pid) {
  if (pid <= 0) {
    return;
  }
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      return;
    }
    QThread::msleep(20);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

XServer::XServer(WindowManager manager) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) {
    problem_ = QStringLiteral("no pipe");
    return;
  }
  const std::string fd_text = std::to_string(pipe_fds[1]);
  const char* xvfb_argv[] = {"Xvfb",        "-displayfd", fd_text.c_str(), "-screen",  "0",
                             "1024x768x24", "-nolisten",  "tcp",           "-noreset", nullptr};
  xvfb_ = spawn({}, xvfb_argv, pipe_fds[1]);
  close(pipe_fds[1]);

  std::string number;
  pollfd wait_for{pipe_fds[0], POLLIN, 0};
  while (poll(&wait_for, 1, 10000) > 0) {
    char c = 0;
    if (read(pipe_fds[0], &c, 1) != 1 || c == '\n') {
      break;
    }
    number += c;
  }
  close(pipe_fds[0]);
  if (number.empty()) {
    problem_ = QStringLiteral("Xvfb did not start");
    return;
  }
  const std::string display = ":" + number;

  if (manager == WindowManager::kOpenbox) {
    const char* openbox_argv[] = {"openbox", "--sm-disable", nullptr};
    openbox_ = spawn(display, openbox_argv);
    platform::X11Desktop probe(QString::fromStdString(display));
    QElapsedTimer waited;
    waited.start();
    while (probe.connected() && !probe.window_manager_running() && waited.elapsed() < 10000) {
      QThread::msleep(20);
    }
    if (!probe.connected() || !probe.window_manager_running()) {
      problem_ = QStringLiteral("openbox did not start");
      return;
    }
  }
  display_ = QString::fromStdString(display);
}

XServer::~XServer() {
  stop(openbox_);
  if (xvfb_ > 0) {
    // The programs the test started on this screen end with their server.
    stop(xvfb_);
  }
}

}  // namespace vantora::testing
