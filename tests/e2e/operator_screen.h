#pragma once

#include <QByteArray>
#include <QString>

#include "core/shell/forms.h"

struct xdo;

namespace vantora::testing {

// The operator's real buttons, pressed through the X server as a mouse would (libxdo's XTest),
// on the real player under Xvfb: what the scripted clicks do must happen here too.
class OperatorScreen {
 public:
  // libxdo keeps the display's name: it lives as long as the object.
  explicit OperatorScreen(const QString& display);
  ~OperatorScreen();
  OperatorScreen(const OperatorScreen&) = delete;
  OperatorScreen& operator=(const OperatorScreen&) = delete;

  // Clicks the middle of a control of the player window, wherever the window now stands; false
  // when the window is not on the screen.
  bool click(const forms::VisualControl& control);

 private:
  QByteArray name_;
  xdo* xdo_;
};

}  // namespace vantora::testing
