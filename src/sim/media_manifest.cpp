#include "sim/media_manifest.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace vantora::sim {

std::optional<MediaManifest> MediaManifest::load(const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("cannot read the media durations %1").arg(path);
    return std::nullopt;
  }
  return parse(QString::fromUtf8(file.readAll()), error);
}

std::optional<MediaManifest> MediaManifest::parse(const QString& text, QString* error) {
  MediaManifest manifest;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    if (line.endsWith(QLatin1Char('\r'))) {
      line.chop(1);
    }
    if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) {
      continue;
    }
    const int tab = line.lastIndexOf(QLatin1Char('\t'));
    bool number = false;
    const double seconds = tab > 0 ? line.mid(tab + 1).trimmed().toDouble(&number) : 0.0;
    if (!number || seconds < 0.0) {
      *error = QStringLiteral("media durations line %1: want \"path<TAB>seconds\", got \"%2\"")
                   .arg(i + 1)
                   .arg(line);
      return std::nullopt;
    }
    manifest.add(line.left(tab), seconds);
  }
  return manifest;
}

void MediaManifest::add(const QString& path, double seconds) {
  durations_s_.insert(QDir::cleanPath(path), seconds);
}

std::optional<double> MediaManifest::duration_s(const QString& path) const {
  const auto found = durations_s_.constFind(QDir::cleanPath(path));
  if (found == durations_s_.constEnd()) {
    return std::nullopt;
  }
  return *found;
}

}  // namespace vantora::sim
