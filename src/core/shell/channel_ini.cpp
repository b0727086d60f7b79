#include "core/shell/channel_ini.h"

#include <QFile>

#include "base/errors.h"

namespace vantora {
namespace {

bool is_blank(QChar c) {
  return c == u' ' || c == u'\t';
}

bool is_line_end(QChar c) {
  return c == u'\r' || c == u'\n';
}

}  // namespace

QString first_delimited_item(const QString& text) {
  qsizetype pos = 0;
  while (pos < text.size() && is_blank(text[pos])) {
    ++pos;
  }
  if (pos < text.size() && text[pos] == u'"') {
    const qsizetype close = text.indexOf(u'"', pos + 1);
    const qsizetype line_end = [&] {
      qsizetype at = pos + 1;
      while (at < text.size() && !is_line_end(text[at])) {
        ++at;
      }
      return at;
    }();
    // An unclosed quote runs to the line end.
    const qsizetype end = close < 0 || close > line_end ? line_end : close;
    return text.mid(pos + 1, end - pos - 1);
  }
  qsizetype end = pos;
  while (end < text.size() && text[end] != u',' && !is_line_end(text[end])) {
    ++end;
  }
  while (end > pos && is_blank(text[end - 1])) {
    --end;
  }
  return text.mid(pos, end - pos);
}

ChannelSettings parse_channel_ini(const QString& text) {
  ChannelSettings settings;
  settings.data_folder = first_delimited_item(text);
  const QStringList lines = text.split(u'\n');
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';')) {
      continue;
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0) {
      continue;
    }
    settings.platform.insert(line.left(equals).trimmed().toLower(), line.mid(equals + 1).trimmed());
  }
  return settings;
}

ChannelSettings read_channel_ini(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw RuntimeError(err::kFileNotFound, QStringLiteral("cannot read %1").arg(path));
  }
  return parse_channel_ini(QString::fromLocal8Bit(file.readAll()));
}

}  // namespace vantora
