#pragma once

#include <QHash>
#include <QString>
#include <optional>

namespace vantora::sim {

// The files the simulated engine plays and their lengths: the --media-durations manifest, one
// "path<TAB>seconds" line per file. Blank lines and lines starting with '#' are skipped.
class MediaManifest {
 public:
  // Nothing when the file cannot be read or a line is malformed; `error` then says which.
  static std::optional<MediaManifest> load(const QString& path, QString* error);
  static std::optional<MediaManifest> parse(const QString& text, QString* error);

  void add(const QString& path, double seconds);
  std::optional<double> duration_s(const QString& path) const;
  int size() const { return static_cast<int>(durations_s_.size()); }

 private:
  QHash<QString, double> durations_s_;
};

}  // namespace vantora::sim
