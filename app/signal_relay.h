#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace vantora::app {

// Brings SIGHUP, SIGINT and SIGTERM into the event loop: a signal handler may do next to
// nothing, so it writes the signal's number to a socket the loop watches.
class SignalRelay {
 public:
  SignalRelay();
  ~SignalRelay();
  SignalRelay(const SignalRelay&) = delete;
  SignalRelay& operator=(const SignalRelay&) = delete;

  std::function<void()> on_hangup;     // SIGHUP
  std::function<void()> on_terminate;  // SIGINT, SIGTERM

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vantora::app
