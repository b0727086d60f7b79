#include "support/media_clips.h"

#include <QFile>
#include <QProcess>

namespace vantora::testing {

MediaClips::MediaClips() {
  if (!dir_.isValid()) {
    error_ = QStringLiteral("no temporary folder");
  }
}

QString MediaClips::ffmpeg(const QStringList& arguments) {
  QProcess process;
  process.start(
      QStringLiteral("ffmpeg"),
      QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} + arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) {
    error_ =
        QStringLiteral("ffmpeg failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
    return {};
  }
  return arguments.last();
}

QString MediaClips::h264(const QString& name, double seconds) {
  const QString length = QString::number(seconds);
  // Key frames every 37 frames and no scene cuts: 1.48 s apart at 25 frames a second.
  return ffmpeg(QStringLiteral("-f lavfi -i testsrc=size=640x360:rate=25:duration=%1 "
                               "-f lavfi -i sine=frequency=440:duration=%1 "
                               "-c:v libx264 -preset ultrafast -g 37 -keyint_min 37 "
                               "-sc_threshold 0 -pix_fmt yuv420p -c:a aac -movflags +faststart")
                    .arg(length)
                    .split(u' ') +
                QStringList{path(name)});
}

QString MediaClips::cut(const QString& source, const QString& name, qint64 bytes) {
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly)) {
    error_ = QStringLiteral("cannot read ") + source;
    return {};
  }
  return write(name, in.read(bytes));
}

QString MediaClips::cut_fraction(const QString& source, const QString& name, double fraction) {
  return cut(source, name,
             static_cast<qint64>(static_cast<double>(QFile(source).size()) * fraction));
}

QString MediaClips::write(const QString& name, const QByteArray& content) {
  QFile out(path(name));
  if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size()) {
    error_ = QStringLiteral("cannot write ") + out.fileName();
    return {};
  }
  return out.fileName();
}

}  // namespace vantora::testing
