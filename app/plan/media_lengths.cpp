#include "app/plan/media_lengths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <cstdio>

namespace vantora::plan {

MediaLengths::MediaLengths(MediaProbe probe, QString cache_path)
    : probe_(std::move(probe)), cache_path_(std::move(cache_path)) {
  QFile file(cache_path_);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return;
  }
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QStringList parts = in.readLine().split(QLatin1Char('\t'));
    if (parts.size() != 4) {
      continue;
    }
    Entry entry{parts[1].toLongLong(), parts[2].toLongLong(), std::nullopt};
    bool ok = false;
    const double seconds = parts[3].toDouble(&ok);
    if (ok) {
      entry.length_s = seconds;
    }
    entries_.insert(parts[0], entry);
  }
}

QString MediaLengths::default_cache_path() {
  QString base = qEnvironmentVariable("XDG_CACHE_HOME");
  if (base.isEmpty()) {
    base = QDir::home().filePath(QStringLiteral(".cache"));
  }
  return QDir(base).filePath(QStringLiteral("vantora-player/media-lengths.tsv"));
}

std::optional<double> MediaLengths::length_s(const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile()) {
    return std::nullopt;
  }
  const qint64 mtime_ms = info.lastModified().toMSecsSinceEpoch();
  const auto known = entries_.constFind(path);
  if (known != entries_.constEnd() && known->size == info.size() && known->mtime_ms == mtime_ms) {
    return known->length_s;
  }
  ++probed_;
  const Entry entry{info.size(), mtime_ms, probe_ ? probe_(path) : std::nullopt};
  entries_.insert(path, entry);
  return entry.length_s;
}

void MediaLengths::probe_all(const QStringList& paths, Progress progress) {
  const int total = static_cast<int>(paths.size());
  for (int i = 0; i < total; ++i) {
    length_s(paths[i]);
    if (progress == Progress::kBar) {
      constexpr int kWidth = 40;
      const int done = (i + 1) * kWidth / total;
      std::fprintf(stderr, "\rprobing media [%s%s] %d/%d", QByteArray(done, '#').constData(),
                   QByteArray(kWidth - done, ' ').constData(), i + 1, total);
    }
  }
  if (progress == Progress::kBar && total > 0) {
    std::fputc('\n', stderr);
  }
}

void MediaLengths::save() const {
  if (probed_ == 0) {
    return;
  }
  QDir().mkpath(QFileInfo(cache_path_).path());
  QSaveFile file(cache_path_);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    return;
  }
  QTextStream out(&file);
  for (auto it = entries_.constBegin(); it != entries_.constEnd(); ++it) {
    out << it.key() << '\t' << it->size << '\t' << it->mtime_ms << '\t'
        << (it->length_s ? QString::number(*it->length_s, 'g', 12) : QStringLiteral("-")) << '\n';
  }
  file.commit();
}

}  // namespace vantora::plan
