#include "core/designer/designer_link.h"

#include "base/errors.h"
#include "core/designer/key_string.h"

namespace vantora::designer {

QString window_title() {
  return QStringLiteral("Presentation Designer");
}

void Activate(ports::Desktop& desktop) {
  desktop.AppActivate(window_title());
}

void Send_Keys(ports::Desktop& desktop, const QString& keys) {
  const ports::KeySequence sequence = keys::parse_key_string(keys);
  const ports::WindowHandle front = desktop.GetForegroundWindow();
  if (front == 0 || desktop.window_title(front) != window_title()) {
    throw RuntimeError(
        err::kInvalidProcedureCall,
        QStringLiteral("%1 is not in front; keys \"%2\" not sent").arg(window_title(), keys));
  }
  desktop.PushKeys(sequence);
}

}  // namespace vantora::designer
