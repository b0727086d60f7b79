#include "sim/sim_picture_loader.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <array>

#include "base/errors.h"

namespace vantora::sim {
namespace {

bool has_picture_signature(const QByteArray& head) {
  static const std::array<QByteArray, 8> kSignatures = {
      QByteArray("\x89PNG\r\n\x1a\n", 8),  // PNG
      QByteArray("\xff\xd8\xff", 3),       // JPEG
      QByteArray("GIF87a"),
      QByteArray("GIF89a"),
      QByteArray("BM"),                   // bitmap
      QByteArray("\x00\x00\x01\x00", 4),  // icon
      QByteArray("\xd7\xcd\xc6\x9a", 4),  // placeable metafile
      QByteArray("\x01\x00\x00\x00", 4),  // enhanced metafile
  };
  for (const QByteArray& signature : kSignatures) {
    if (head.startsWith(signature)) {
      return true;
    }
  }
  return false;
}

}  // namespace

void SimPictureLoader::LoadPicture(const QString& path) {
  if (path.isEmpty() || !QFileInfo(path).isFile()) {
    throw RuntimeError(err::kFileNotFound);
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw RuntimeError(err::kPermissionDenied);
  }
  if (!has_picture_signature(file.read(8))) {
    throw RuntimeError(err::kInvalidPicture);
  }
}

}  // namespace vantora::sim
