#include "platform/qt/qt_picture_loader.h"

#include <QFileInfo>
#include <QImageReader>

#include "base/errors.h"

namespace vantora::platform {

void QtPictureLoader::LoadPicture(const QString& path) {
  if (path.isEmpty() || !QFileInfo(path).isFile()) {
    throw RuntimeError(err::kFileNotFound);
  }
  QImageReader reader(path);
  if (reader.read().isNull()) {
    throw RuntimeError(err::kInvalidPicture,
                       QStringLiteral("Invalid picture (%1)").arg(reader.errorString()));
  }
}

}  // namespace vantora::platform
