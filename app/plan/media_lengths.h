#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vantora::plan {

// The length of a media file in seconds, or nothing when it is not media.
using MediaProbe = std::function<std::optional<double>(const QString& path)>;

enum class Progress { kNone, kBar };

// Media lengths from the real files, remembered by (path, size, modification time) in a cache
// file, so a second plan of the same folder probes nothing. A file that changed is probed again.
class MediaLengths {
 public:
  MediaLengths(MediaProbe probe, QString cache_path);

  // The user's cache folder ($XDG_CACHE_HOME, else ~/.cache) and the file in it.
  static QString default_cache_path();

  // Nothing for a missing file, a folder or a file that is not media.
  std::optional<double> length_s(const QString& path);
  // Probes every file not known yet, drawing a bar on standard error when asked.
  void probe_all(const QStringList& paths, Progress progress);
  // Writes the cache back when something was probed; a cache that cannot be written only costs
  // the next plan its speed.
  void save() const;

  int probed() const { return probed_; }

 private:
  struct Entry {
    qint64 size = -1;
    qint64 mtime_ms = 0;
    std::optional<double> length_s;
  };

  MediaProbe probe_;
  QString cache_path_;
  QHash<QString, Entry> entries_;
  int probed_ = 0;
};

}  // namespace vantora::plan
