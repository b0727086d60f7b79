#include "app/demo/demo_channel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include "app/demo/media_maker.h"
#include "base/errors.h"
#include "platform/sql/sqlite_schedule_store.h"

namespace vantora::platform::demo {
namespace {

void write_text(const QString& path, const QString& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate) ||
      file.write(text.toUtf8()) < 0) {
    throw RuntimeError(err::kPathFileAccessError,
                       QStringLiteral("Cannot write %1.").arg(QDir::toNativeSeparators(path)));
  }
}

void make_folders(const std::vector<QString>& folders) {
  for (const QString& folder : folders) {
    if (!QDir().mkpath(folder)) {
      throw RuntimeError(err::kPathNotFound,
                         QStringLiteral("Cannot create %1.").arg(QDir::toNativeSeparators(folder)));
    }
  }
}

}  // namespace

QString command_word(const QString& word) {
  if (!word.contains(QLatin1Char(' ')) && !word.contains(QLatin1Char('"')) && !word.isEmpty()) {
    return word;
  }
  QString quoted = word;
  quoted.replace(QLatin1Char('"'), QStringLiteral("\"\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString channel_ini_text(const QString& data_folder, const QString& designer_command,
                         const QStringList& platform_lines) {
  // The first item stops at a comma unless quoted.
  QString text = data_folder.contains(QLatin1Char(','))
                     ? QLatin1Char('"') + data_folder + QLatin1Char('"')
                     : data_folder;
  text += QLatin1Char('\n');
  text += QStringLiteral("designer=") + designer_command + QLatin1Char('\n');
  for (const QString& line : platform_lines) {
    text += line.trimmed() + QLatin1Char('\n');
  }
  return text;
}

ChannelSummary make_channel(const ChannelOptions& options, const std::function<DateTime()>& now,
                            const std::function<void(const QString&)>& progress) {
  const auto say = [&progress](const QString& line) {
    if (progress) {
      progress(line);
    }
  };
  const QString folder = QDir(options.folder).absolutePath();
  if (QFileInfo::exists(QDir(folder).filePath(kScheduleFileName))) {
    throw RuntimeError(
        err::kPathFileAccessError,
        QStringLiteral("%1 already holds a schedule; a demo channel wants a fresh folder.")
            .arg(QDir::toNativeSeparators(folder)));
  }

  // The media first: the plan's paths do not depend on the clock, only its times do.
  const Plan layout = plan_channel(folder, now(), options.timeline);
  make_folders(layout.folders);
  MediaMaker maker;
  say(QStringLiteral("making %1 clips and %2 pictures with ffmpeg%3")
          .arg(layout.clips.size())
          .arg(layout.pictures.size())
          .arg(maker.labels() ? QString() : QStringLiteral(" (no font: unlabelled)")));
  QElapsedTimer media_clock;
  media_clock.start();
  maker.make_clips(layout.clips, options.parallel_encodes);
  for (const PictureSpec& picture : layout.pictures) {
    maker.make_picture(picture);
  }
  ChannelSummary summary;
  summary.media_ms = media_clock.elapsed();
  summary.clips = static_cast<int>(layout.clips.size());

  summary.schedule_written = date_time::truncate_to_second(now());
  const Plan plan = plan_channel(folder, summary.schedule_written, options.timeline);
  summary.first_show =
      date_time::add_seconds(summary.schedule_written, options.timeline.first_show_s);
  write_schedule(folder, plan.player_ini, plan.rows);
  say(QStringLiteral("wrote %1 schedule rows; the first show starts at %2")
          .arg(plan.rows.size())
          .arg(date_time::to_text(summary.first_show)));

  summary.key_log = plan.key_log;
  summary.channel_ini = QDir(folder).filePath(QStringLiteral("channel.ini"));
  const QString designer =
      command_word(options.designer_program) + QLatin1Char(' ') + command_word(plan.key_log);
  write_text(summary.channel_ini,
             channel_ini_text(QDir::toNativeSeparators(folder), designer, options.platform_lines));
  return summary;
}

}  // namespace vantora::platform::demo
