#pragma once

#include <QString>

#include "ports/desktop.h"

namespace vantora::designer {

// The outside presentation program is known only by its window title.
QString window_title();

// Brings the designer's window to the front. Error 5 when it has no window.
void Activate(ports::Desktop& desktop);

// Sends one key string to the designer. The keys go out only while the designer's window is the
// foreground window: sent anywhere else, the closing "%{F4}" would close whatever window happens
// to be in front. Otherwise nothing is sent and error 5 is raised for the caller to log; a string
// that breaks the notation raises error 5 as well.
void Send_Keys(ports::Desktop& desktop, const QString& keys);

}  // namespace vantora::designer
