#pragma once

#include <QProcess>
#include <QString>

namespace vantora::testing {

// A private X server (Xvfb) for one test, optionally with openbox managing it. The server picks
// a free display number itself, so tests running side by side never share a screen.
class XServer {
 public:
  enum class WindowManager { kOpenbox, kNone };

  explicit XServer(WindowManager manager);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // Empty when the server (or the manager) did not come up; `problem` says why.
  const QString& display() const { return display_; }
  const QString& problem() const { return problem_; }

 private:
  QProcess xvfb_;
  QProcess openbox_;
  QString display_;
  QString problem_;
};

}  // namespace vantora::testing
