#include "sim/sim_file_lister.h"

#include <QDir>
#include <QFileInfo>

namespace vantora::sim {

namespace {

bool is_hidden(const QString& name) {
  return name.startsWith(QLatin1Char('.'));
}

// The real adapter's rules: a readable folder's files, hidden ones left out.
std::optional<QStringList> list_disk_folder(const QString& folder) {
  const QFileInfo info(folder);
  if (folder.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable()) {
    return std::nullopt;
  }
  return QDir(folder).entryList(QDir::Files, QDir::NoSort);
}

}  // namespace

std::optional<QStringList> SimFileLister::list_files(const QString& folder) const {
  const auto found = folders_.find(folder);
  if (found == folders_.end()) {
    if (others_ == OtherFolders::kFromDisk) {
      return list_disk_folder(folder);
    }
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

}  // namespace vantora::sim
