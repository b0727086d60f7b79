#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vantora::ports {

// What a file list box needs from the file system: the names of a folder's normal files.
class FileLister {
 public:
  virtual ~FileLister() = default;

  // The bare names (no folder) of the folder's normal files: no sub-folders, no hidden files,
  // in any order. Nothing when the folder does not exist or cannot be read.
  virtual std::optional<QStringList> list_files(const QString& folder) const = 0;
};

}  // namespace vantora::ports
