#include "core/shell/file_lists.h"

#include <algorithm>

#include "base/errors.h"

namespace vantora::file_lists {

void set_path(forms::FileListBox& box, const ports::FileLister& lister, const QString& folder) {
  std::optional<QStringList> names = lister.list_files(folder);
  if (!names) {
    throw RuntimeError(err::kPathNotFound);
  }
  // The disk hands names back in no particular order; the news and filler queues are played in
  // list order, so the order must not depend on the file system.
  std::sort(names->begin(), names->end(), [](const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
  });
  box.show_listing(folder, std::move(*names));
}

QString entry_path(const forms::FileListBox& box, int index) {
  return join(box.Path(), box.List(index));
}

QString join(const QString& folder, const QString& name) {
  if (folder.endsWith(QLatin1Char('/'))) {
    return folder + name;
  }
  return folder + QLatin1Char('/') + name;
}

}  // namespace vantora::file_lists
