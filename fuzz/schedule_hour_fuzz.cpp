// A whole hour of the channel over a schedule made from the fuzzer's bytes. The scheduling tool
// and people editing the tables by hand can leave anything in a cell: wrong types, Nulls, huge and
// negative numbers, dates centuries away, offsets past a clip's end, paths with quotes, line
// breaks and bytes that are not UTF-8, files that are missing or are not media. Whatever the
// schedule, the program must neither crash nor hang: a bad row costs a log line, not the channel.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <array>
#include <memory>

#include "base/date_time.h"
#include "fuzz_support.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/simulation.h"

namespace {

using vantora::fuzz::Bytes;

constexpr std::int64_t kHourMs = 3600 * 1000;

// The channel's folder: a schedule made once and copied for every input, a clip folder of media
// and of a file that is not, and the durations of the media the manifest knows.
struct Channel {
  QTemporaryDir root{QDir::tempPath() + QStringLiteral("/vantora-fuzz-XXXXXX")};
  QString pristine;  // wizard.db as made by create_schedule
  QString data;      // the data folder of one run
  QString clips;     // media files that exist
  QString manifest;

  Channel() {
    const QString made = root.filePath(QStringLiteral("made"));
    vantora::platform::create_schedule(made);
    pristine = made + QStringLiteral("/wizard.db");
    data = root.filePath(QStringLiteral("data"));
    clips = root.filePath(QStringLiteral("clips"));
    QDir().mkpath(clips);
    QString lines;
    for (const char* name : {"a.mp4", "b.mp4", "c.mp4"}) {
      const QString path = clips + u'/' + QString::fromLatin1(name);
      QFile file(path);
      file.open(QIODevice::WriteOnly);
      lines += path + QStringLiteral("\t") + QString::number(lines.size() % 7 * 300 + 40) + u'\n';
    }
    QFile other(clips + QStringLiteral("/notes.txt"));
    other.open(QIODevice::WriteOnly);
    other.write("not a clip");
    manifest = root.filePath(QStringLiteral("media.tsv"));
    QFile list(manifest);
    list.open(QIODevice::WriteOnly);
    list.write(lines.toUtf8());
  }
};

// Texts a cell may hold: times of the hour being played and others, paths good and bad.
QString text_cell(Bytes& bytes, const Channel& channel) {
  const int minute = bytes.byte() % 90;
  const int second = bytes.byte() % 60;
  switch (bytes.byte() % 12) {
    case 0:
    case 1:
    case 2:
      // 09:30 to 11:00 on the day played, most cells that matter being times.
      return QStringLiteral("2026-12-06 %1:%2:%3")
          .arg(9 + (minute + 30) / 60, 2, 10, QLatin1Char('0'))
          .arg((minute + 30) % 60, 2, 10, QLatin1Char('0'))
          .arg(second, 2, 10, QLatin1Char('0'));
    case 3:
      return QStringLiteral("%1:%2:%3")
          .arg(minute % 24, 2, 10, QLatin1Char('0'))
          .arg(second, 2, 10, QLatin1Char('0'))
          .arg(bytes.byte() % 60, 2, 10, QLatin1Char('0'));
    case 4:
      return bytes.byte() % 2 == 0 ? QStringLiteral("9999-12-31 23:59:59")
                                   : QStringLiteral("0100-01-01 00:00:00");
    case 5:
      return channel.clips + QStringLiteral("/") +
             QStringList{"a.mp4", "b.mp4", "c.mp4"}[second % 3];
    case 6:
      return channel.clips;
    case 7:
      return channel.clips + QStringLiteral("/notes.txt");
    case 8:
      return QStringLiteral("/nowhere/it's \"gone\".mp4");
    case 9:
      return QStringLiteral("-1");
    case 10:
      return QStringLiteral("True");
    default:
      return QString::fromUtf8(bytes.chunk(24));  // anything, line breaks and bad bytes too
  }
}

QVariant cell(Bytes& bytes, const Channel& channel) {
  switch (bytes.byte() % 10) {
    case 0:
      return {};
    case 1:
      return QVariant(static_cast<qlonglong>(bytes.byte()) - 2);  // -2 to 253: flags, offsets
    case 2:
      return QVariant(static_cast<qlonglong>(bytes.byte()) * 30);  // offsets of a clip
    case 3:
      return QVariant(static_cast<qlonglong>(bytes.int64()));
    case 4:
      return QVariant(static_cast<double>(bytes.int64()) / 1e6);
    case 5:
      return QVariant(bytes.chunk(16));  // a blob
    default:
      return QVariant(text_cell(bytes, channel));
  }
}

struct Table {
  const char* name;
  int columns;
  int max_rows;
};
constexpr std::array kTables{
    Table{"playlist", 21, 8}, Table{"filler", 5, 3},     Table{"adv", 13, 4},
    Table{"Slot_adv", 4, 3},  Table{"logo", 5, 2},       Table{"News_Slot", 2, 2},
    Table{"News", 3, 2},      Table{"Wizard_INI", 1, 1},
};

QStringList column_names(QSqlDatabase& db, const QString& table) {
  QStringList names;
  QSqlQuery query(db);
  query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
  while (query.next()) {
    names << query.value(1).toString();
  }
  return names;
}

void fill(const QString& db_path, Bytes& bytes, const Channel& channel) {
  const QString name = QStringLiteral("fuzz-schedule");
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(db_path);
    db.open();
    db.transaction();
    for (const Table& table : kTables) {
      const QString table_name = QString::fromLatin1(table.name);
      const QStringList names = column_names(db, table_name);
      const int rows = bytes.byte() % (table.max_rows + 1);
      for (int row = 0; row < rows && !bytes.empty(); ++row) {
        QStringList quoted;
        QStringList marks;
        for (const QString& column : names) {
          if (column == QStringLiteral("id")) {
            continue;
          }
          quoted << u'"' + column + u'"';
          marks << QStringLiteral("?");
        }
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                           .arg(table_name, quoted.join(u','), marks.join(u',')));
        for (int i = 0; i < marks.size(); ++i) {
          insert.addBindValue(cell(bytes, channel));
        }
        insert.exec();
      }
    }
    // The settings row: a few cells changed, the rest as made.
    const QStringList settings = column_names(db, QStringLiteral("Player INI"));
    for (int changes = bytes.byte() % 4; changes > 0 && !settings.isEmpty(); --changes) {
      QSqlQuery update(db);
      update.prepare(QStringLiteral("UPDATE \"Player INI\" SET \"%1\" = ?")
                         .arg(settings[bytes.byte() % settings.size()]));
      update.addBindValue(cell(bytes, channel));
      update.exec();
    }
    db.commit();
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantora;
  static const Channel channel;
  QDir(channel.data).removeRecursively();
  QDir().mkpath(channel.data);
  const QString db_path = channel.data + QStringLiteral("/wizard.db");
  QFile::copy(channel.pristine, db_path);
  Bytes bytes(data, size);
  fill(db_path, bytes, channel);

  sim::SimulationOptions options;
  options.data_folder = channel.data;
  options.start = date_time::from_parts(2026, 12, 6, 10, 0, 0);
  options.media_durations_path = channel.manifest;
  sim::Simulation simulation(options);
  if (!simulation.start()) {
    fuzz::fail("the simulation did not start");
  }
  simulation.run_for_ms(kHourMs);
  return 0;
}
