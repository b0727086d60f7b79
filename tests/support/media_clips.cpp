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
  return ffmpeg({QStringLiteral("-f"),
                 QStringLiteral("lavfi"),
                 QStringLiteral("-i"),
                 QStringLiteral("testsrc=size=640x360:rate=25:duration=") + length,
                 QStringLiteral("-f"),
                 QStringLiteral("lavfi"),
                 QStringLiteral("-i"),
                 QStringLiteral("sine=frequency=440:duration=") + length,
                 QStringLiteral("-c:v"),
                 QStringLiteral("libx264"),
                 QStringLiteral("-preset"),
                 QStringLiteral("ultrafast"),
                 QStringLiteral("-g"),
                 QStringLiteral("37"),
                 QStringLiteral("-keyint_min"),
                 QStringLiteral("37"),
                 QStringLiteral("-sc_threshold"),
                 QStringLiteral("0"),
                 QStringLiteral("-pix_fmt"),
                 QStringLiteral("yuv420p"),
                 QStringLiteral("-c:a"),
                 QStringLiteral("aac"),
                 QStringLiteral("-movflags"),
                 QStringLiteral("+faststart"),
                 path(name)});
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
