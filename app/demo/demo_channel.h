#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "app/demo/demo_plan.h"
#include "base/date_time.h"

namespace vantora::platform::demo {

struct ChannelOptions {
  QString folder;
  Timeline timeline;
  // The program that stands in for the presentation designer; channel.ini launches it with the
  // key log as its first argument.
  QString designer_program;
  // More platform lines for channel.ini, each "key=value" (audio=none, ...).
  QStringList platform_lines;
  int parallel_encodes = 2;
};

struct ChannelSummary {
  QString channel_ini;
  QString key_log;
  DateTime schedule_written;  // the moment the timeline counts from
  DateTime first_show;
  int clips = 0;
  qint64 media_ms = 0;  // how long the clips and pictures took
};

// Makes a complete demo channel in a folder that holds no schedule yet: the media, wizard.db
// made by init-db's schema and filled for today relative to `now` (read once the media exist,
// so that generating them costs the schedule no time), and channel.ini. Raises a RuntimeError
// when it cannot; a folder that already holds a schedule is refused (err::kPathFileAccessError).
ChannelSummary make_channel(const ChannelOptions& options, const std::function<DateTime()>& now,
                            const std::function<void(const QString&)>& progress = {});

// channel.ini's text: the data folder first, then the platform lines.
QString channel_ini_text(const QString& data_folder, const QString& designer_command,
                         const QStringList& platform_lines);

// A command line word, quoted when it holds a blank or a quote.
QString command_word(const QString& word);

}  // namespace vantora::platform::demo
