#include "app/signal_relay.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace vantora::app {
namespace {

int g_signal_socket[2] = {-1, -1};

void relay(int number) {
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t written = write(g_signal_socket[0], &byte, 1);
}

}  // namespace

SignalRelay::SignalRelay() {
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, g_signal_socket) != 0) {
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(g_signal_socket[1], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    char byte = 0;
    if (read(g_signal_socket[1], &byte, 1) != 1) {
      return;
    }
    if (byte == SIGHUP && on_hangup) {
      on_hangup();
    } else if (byte != SIGHUP && on_terminate) {
      on_terminate();
    }
  });
  struct sigaction action {};
  action.sa_handler = relay;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : {SIGHUP, SIGINT, SIGTERM}) {
    sigaction(number, &action, nullptr);
  }
}

SignalRelay::~SignalRelay() {
  for (int number : {SIGHUP, SIGINT, SIGTERM}) {
    std::signal(number, SIG_DFL);
  }
  notifier_.reset();
  close(g_signal_socket[0]);
  close(g_signal_socket[1]);
}

}  // namespace vantora::app
