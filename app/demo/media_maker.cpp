#include "app/demo/media_maker.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <deque>
#include <memory>

#include "base/errors.h"

namespace vantora::platform::demo {
namespace {

constexpr int kFfmpegTimeoutMs = 120'000;
const QString kClipSize = QStringLiteral("320x240");

QString source_of(Pattern pattern) {
  switch (pattern) {
    case Pattern::kMovie:
      return QStringLiteral("testsrc2");
    case Pattern::kAd:
      return QStringLiteral("smptebars");
    case Pattern::kNews:
      return QStringLiteral("rgbtestsrc");
    case Pattern::kFiller:
      return QStringLiteral("testsrc");
    case Pattern::kEmergency:
      return QStringLiteral("color=c=0xb00000");
  }
  return QStringLiteral("testsrc2");
}

// A tone per kind, so that what plays can be heard as well.
int tone_hz(Pattern pattern) {
  switch (pattern) {
    case Pattern::kMovie:
      return 440;
    case Pattern::kAd:
      return 660;
    case Pattern::kNews:
      return 880;
    case Pattern::kFiller:
      return 330;
    case Pattern::kEmergency:
      return 1000;
  }
  return 440;
}

QString with_options(const QString& source, const QString& options) {
  return source + (source.contains(QLatin1Char('=')) ? QLatin1Char(':') : QLatin1Char('=')) +
         options;
}

// The label is read from a file so that no text needs the filter graph's escaping.
QString label_filter(const QString& font_file, const QString& label_file, int font_size) {
  return QStringLiteral(
             "drawtext=fontfile=%1:textfile=%2:fontsize=%3:fontcolor=white:box=1:"
             "boxcolor=black@0.6:boxborderw=6:x=(w-tw)/2:y=(h-th)/2")
      .arg(font_file, label_file)
      .arg(font_size);
}

std::unique_ptr<QProcess> start_ffmpeg(const QStringList& arguments) {
  auto process = std::make_unique<QProcess>();
  process->setProcessChannelMode(QProcess::MergedChannels);
  process->start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-nostdin"), QStringLiteral("-v"),
                             QStringLiteral("error"), QStringLiteral("-y")} +
                     arguments);
  return process;
}

void finish(QProcess& process, const QString& output) {
  if (!process.waitForStarted(kFfmpegTimeoutMs)) {
    throw RuntimeError(err::kPathNotFound,
                       QStringLiteral("Cannot run ffmpeg (scripts/install-deps installs it)."));
  }
  const bool finished = process.waitForFinished(kFfmpegTimeoutMs);
  if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    if (!finished) {
      process.kill();
      process.waitForFinished();
    }
    throw RuntimeError(err::kPathFileAccessError,
                       QStringLiteral("ffmpeg could not make %1: %2")
                           .arg(output, QString::fromLocal8Bit(process.readAll()).trimmed()));
  }
}

}  // namespace

MediaMaker::MediaMaker(QString font_file) {
  if (QFileInfo::exists(font_file)) {
    font_file_ = std::move(font_file);
  }
}

QString MediaMaker::default_font_file() {
  return QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
}

QString MediaMaker::label_file(const QString& label, int index) {
  if (!labels() || !labels_.isValid()) {
    return {};
  }
  const QString path = labels_.filePath(QStringLiteral("label-%1.txt").arg(index));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(label.toUtf8()) < 0) {
    return {};
  }
  return path;
}

QStringList MediaMaker::clip_arguments(const ClipSpec& clip, const QString& label_path) const {
  const QString length = QString::number(clip.seconds);
  QStringList arguments{
      QStringLiteral("-f"),
      QStringLiteral("lavfi"),
      QStringLiteral("-i"),
      with_options(source_of(clip.pattern),
                   QStringLiteral("size=%1:rate=25:duration=%2").arg(kClipSize, length)),
      QStringLiteral("-f"),
      QStringLiteral("lavfi"),
      QStringLiteral("-i"),
      QStringLiteral("sine=frequency=%1:duration=%2").arg(tone_hz(clip.pattern)).arg(length),
  };
  if (!label_path.isEmpty()) {
    arguments << QStringLiteral("-vf") << label_filter(font_file_, label_path, 22);
  }
  arguments << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-preset")
            << QStringLiteral("ultrafast") << QStringLiteral("-crf") << QStringLiteral("30")
            << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p") << QStringLiteral("-c:a")
            << QStringLiteral("aac") << QStringLiteral("-b:a") << QStringLiteral("48k")
            << QStringLiteral("-shortest") << clip.path;
  return arguments;
}

void MediaMaker::make_clips(const std::vector<ClipSpec>& clips, int parallel) {
  struct Running {
    std::unique_ptr<QProcess> process;
    QString output;
  };
  std::deque<Running> running;
  int index = 0;
  for (const ClipSpec& clip : clips) {
    if (static_cast<int>(running.size()) >= std::max(parallel, 1)) {
      finish(*running.front().process, running.front().output);
      running.pop_front();
    }
    running.push_back(
        {start_ffmpeg(clip_arguments(clip, label_file(clip.label, index++))), clip.path});
  }
  while (!running.empty()) {
    finish(*running.front().process, running.front().output);
    running.pop_front();
  }
}

void MediaMaker::make_picture(const PictureSpec& picture) {
  QStringList arguments{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                        QStringLiteral("color=c=%1:size=160x60").arg(picture.colour)};
  const QString label = label_file(picture.label, -1);
  if (!label.isEmpty()) {
    arguments << QStringLiteral("-vf") << label_filter(font_file_, label, 26);
  }
  arguments << QStringLiteral("-frames:v") << QStringLiteral("1") << picture.path;
  auto process = start_ffmpeg(arguments);
  finish(*process, picture.path);
}

}  // namespace vantora::platform::demo
