#include "platform/qt_pointer.h"

#include <QCursor>

namespace vantora::platform {

void QtPointer::SetCursorPos(int x_px, int y_px) {
  QCursor::setPos(x_px, y_px);
}

}  // namespace vantora::platform
