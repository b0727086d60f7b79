#include "core/shell/file_list.h"

#include <QDir>
#include <QFileInfo>

#include "core/common/errors.h"

namespace vantora {

void set_file_list_path(forms::FileListBox& box, const QString& folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
    throw RuntimeError(err::kPathNotFound);
  }
  const QDir dir(folder);
  box.show_listing(folder, dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

}  // namespace vantora
