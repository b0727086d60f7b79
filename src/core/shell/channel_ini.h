#pragma once

#include <QHash>
#include <QString>

namespace vantora {

// channel.ini: its first item is the data folder. The platform's own settings follow on later
// lines as key=value (designer=COMMAND starts the presentation program); a reader that takes only
// the first item never sees them.
struct ChannelSettings {
  QString data_folder;
  QHash<QString, QString> platform;  // keys in lower case

  QString designer_command() const { return platform.value(QStringLiteral("designer")); }
};

// The first item of a text read with delimited-item semantics: leading blanks skipped, a quoted
// item runs to its closing quote (commas included) and loses the quotes, any other item ends at
// the first comma or line end and loses its trailing blanks.
QString first_delimited_item(const QString& text);

ChannelSettings parse_channel_ini(const QString& text);

// Reads the file; error 53 when it is missing or cannot be read.
ChannelSettings read_channel_ini(const QString& path);

}  // namespace vantora
