#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vantora::testing {

// Clips made by ffmpeg while the tests run: nothing binary is kept in the repository. The
// key frames of every H.264 clip are 1.48 s apart, so a seek that lands on a key frame instead
// of the asked position shows.
class MediaClips {
 public:
  static constexpr double kKeyFrameInterval_s = 1.48;

  MediaClips();
  bool ok() const { return error_.isEmpty(); }
  const QString& error() const { return error_; }
  QString folder() const { return dir_.path(); }
  QString path(const QString& name) const { return dir_.filePath(name); }

  // A 640x360 H.264 clip with a tone, `seconds` long, under `name` (ending in .mp4).
  QString h264(const QString& name, double seconds);
  // The first `bytes` of a file (or the first `fraction` of it) under a new name.
  QString cut(const QString& source, const QString& name, qint64 bytes);
  QString cut_fraction(const QString& source, const QString& name, double fraction);
  QString write(const QString& name, const QByteArray& content);
  // Runs ffmpeg with these arguments after "-v error -y"; the output is the last argument.
  QString ffmpeg(const QStringList& arguments);

 private:
  QTemporaryDir dir_;
  QString error_;
};

}  // namespace vantora::testing
