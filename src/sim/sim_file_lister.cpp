#include "sim/sim_file_lister.h"

#include <QDir>
#include <QDirIterator>

namespace vantora::sim {

namespace {

bool is_hidden(const QString& name) {
  return name.startsWith(QLatin1Char('.'));
}

}  // namespace

std::optional<QStringList> SimFileLister::list_files(const QString& folder) const {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) {
    return std::nullopt;
  }
  QStringList names;
  for (const QString& name : found->second) {
    if (!is_hidden(name)) {
      names.append(name);
    }
  }
  return names;
}

void SimFileLister::add_folder(const QString& folder) {
  folders_.try_emplace(folder);
}

void SimFileLister::add_file(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  const QString folder = slash < 0 ? QString() : path.left(slash);
  folders_[folder].insert(path.mid(slash + 1));
}

void SimFileLister::add_files(const QString& folder, const QStringList& names) {
  auto& files = folders_[folder];
  for (const QString& name : names) {
    files.insert(name);
  }
}

void SimFileLister::remove_file(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  const auto found = folders_.find(slash < 0 ? QString() : path.left(slash));
  if (found != folders_.end()) {
    found->second.erase(path.mid(slash + 1));
  }
}

void SimFileLister::remove_folder(const QString& folder) {
  folders_.erase(folder);
}

void SimFileLister::mirror_disk_folder(const QString& root) {
  if (!QFileInfo(root).isDir()) {
    return;
  }
  add_folder(root);
  QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info = it.nextFileInfo();
    if (info.isDir()) {
      add_folder(info.filePath());
    } else {
      add_file(info.filePath());
    }
  }
}

}  // namespace vantora::sim
