#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <set>

#include "ports/file_lister.h"

namespace vantora::sim {

// Folders and files held in memory, so a scenario states exactly what each folder holds. A folder
// never added cannot be listed, or, for a run over a channel's real folders, is listed from the
// disk by the real adapter's rules. Paths are compared exactly; a file's folder is everything
// before its last '/'. Names beginning with '.' are hidden, as on the disk.
class SimFileLister final : public ports::FileLister {
 public:
  enum class OtherFolders { kCannotBeListed, kFromDisk };
  explicit SimFileLister(OtherFolders others = OtherFolders::kCannotBeListed) : others_(others) {}

  std::optional<QStringList> list_files(const QString& folder) const override;

  // Adds an empty folder; its parent need not exist.
  void add_folder(const QString& folder);
  // Adds "folder/name", and the folder with it.
  void add_file(const QString& path);
  void add_files(const QString& folder, const QStringList& names);
  void remove_file(const QString& path);
  // The folder can no longer be listed; its files go with it.
  void remove_folder(const QString& folder);

 private:
  OtherFolders others_;
  std::map<QString, std::set<QString>> folders_;
};

}  // namespace vantora::sim
