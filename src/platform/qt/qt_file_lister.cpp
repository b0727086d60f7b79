#include "platform/qt/qt_file_lister.h"

#include <QDir>
#include <QFileInfo>

namespace vantora::platform {

std::optional<QStringList> QtFileLister::list_files(const QString& folder) const {
  // An empty path would list the working folder; a file list box given no folder lists nothing
  // it could name, so it is a folder that cannot be listed.
  if (folder.isEmpty()) {
    return std::nullopt;
  }
  const QFileInfo info(folder);
  // entryList() answers an unreadable folder with an empty list, which would pass for an empty
  // folder: the checks come first.
  if (!info.isDir() || !info.isReadable() || !info.isExecutable()) {
    return std::nullopt;
  }
  // Symbolic links to files are listed like the files themselves; hidden files are left out
  // because QDir::Hidden is not asked for.
  return QDir(folder).entryList(QDir::Files, QDir::NoSort);
}

}  // namespace vantora::platform
