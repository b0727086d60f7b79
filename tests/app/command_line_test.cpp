#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "support/trace_lines.h"
#include "tools/daygen/day_generator.h"

namespace {

struct Result {
  int exit_code;
  QString out;
  QString err;
};

Result run(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(VANTORA_PLAYER_BINARY), arguments);
  EXPECT_TRUE(process.waitForFinished(60'000));
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

TEST(CommandLine, ExitCodesAndMessages) {
  QTemporaryDir folder;
  const QString existing = folder.filePath(QStringLiteral("existing"));
  ASSERT_EQ(run({QStringLiteral("init-db"), existing}).exit_code, 0);
  const QString ini = folder.filePath(QStringLiteral("channel.ini"));
  const QString no_folder_ini = folder.filePath(QStringLiteral("no-folder.ini"));
  QFile file(no_folder_ini);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("\"/no/such/folder\",x\n");
  file.close();
  const QStringList simulate = {QStringLiteral("simulate"), QStringLiteral("--data"), existing,
                                QStringLiteral("--start")};
  // A day whose only show has no file: the plan finds an error.
  const QString broken = folder.filePath(QStringLiteral("broken"));
  ASSERT_EQ(run({QStringLiteral("init-db"), broken}).exit_code, 0);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("b"));
    db.setDatabaseName(broken + QStringLiteral("/wizard.db"));
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral(
        "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, show_start, show_end) "
        "VALUES ('2026-12-06 10:02:00', '2026-12-06 10:05:00', '/no/such.mp4', -1, -1)")));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("b"));
  const auto plan = [](const QString& data, const char* start) {
    return QStringList{QStringLiteral("plan"),
                       QStringLiteral("--data"),
                       data,
                       QStringLiteral("--start"),
                       QLatin1String(start),
                       QStringLiteral("--until"),
                       QStringLiteral("2026-12-06 10:10:00")};
  };
  const struct {
    QStringList arguments;
    int exit_code;
    QString says;  // in the output or the error stream
  } cases[] = {
      {{QStringLiteral("--version")}, 0, QStringLiteral("vantora-player ")},
      {{QStringLiteral("--help")}, 0, QStringLiteral("simulate")},
      {{QStringLiteral("--config"), ini}, 2, ini},
      {{QStringLiteral("--config"), no_folder_ini}, 2, QStringLiteral("/no/such/folder")},
      {{QStringLiteral("init-db"), existing}, 1, QStringLiteral("already exists")},
      {plan(existing, "2026-12-06 10:00:00"), 0, QStringLiteral(": OK")},
      {plan(broken, "2026-12-06 10:00:00"), 1, QStringLiteral("media-missing [playlist #1]")},
      {plan(existing, "tomorrow"), 2, QStringLiteral("tomorrow")},
      {plan(existing, "2026-12-06 10:20:00"), 2, QStringLiteral("--until")},
      {{QStringLiteral("report"), QStringLiteral("--data"), existing, QStringLiteral("--day"),
        QStringLiteral("2026-12-06")},
       2,
       QStringLiteral("plan --save")},
      {simulate +
           QStringList{QStringLiteral("tomorrow"), QStringLiteral("--for"), QStringLiteral("10")},
       2, QStringLiteral("tomorrow")},
      {{QStringLiteral("simulate"), QStringLiteral("--data"), folder.filePath("none"),
        QStringLiteral("--start"), QStringLiteral("2026-12-06 10:00:00"), QStringLiteral("--for"),
        QStringLiteral("10")},
       2,
       folder.filePath("none")},
      {simulate + QStringList{QStringLiteral("2026-12-06 10:00:00"), QStringLiteral("--for"),
                              QStringLiteral("-5")},
       105, QStringLiteral("-5")},  // CLI11's validation failure
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(u' ').toStdString());
    const Result result = run(c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_TRUE((result.out + result.err).contains(c.says)) << result.err.toStdString();
  }
}

// "HH:MM:SS.mmm" of an event's time: the day is fixed, the moment is what counts.
std::string clock_of(const nlohmann::json& event) {
  return event["t"].get<std::string>().substr(11);
}

// The program as an operator runs it: a data folder made by init-db, a one-show schedule with an
// ad break written by the scheduling tool, and a simulated run from start-up. The same day
// simulated twice gives the same trace, byte for byte: what makes a simulated run worth
// comparing with anything.
TEST(SimulateCommand, FromInitDbToTheFirstPictureTheSameEveryTime) {
  QTemporaryDir folder;
  ASSERT_EQ(run({QStringLiteral("init-db"), folder.path()}).exit_code, 0);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tool"));
    db.setDatabaseName(folder.filePath(QStringLiteral("wizard.db")));
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    for (const char* sql : {
             "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, start_offset, "
             "end_offset, show_start, show_end, logo_file, caption, text6, picture_top, "
             "picture_height, logo_left, logo_top) VALUES ('2026-12-06 10:00:00', "
             "'2026-12-06 10:30:00', '/media/feature.mp4', 300, 2100, -1, -1, 'CLOCK', "
             "'Feature', '', 0, 0, 640, 20)",
             "INSERT INTO Slot_adv (slot_name, time, slot_kind) VALUES ('Break', '10:01:00', 0)",
             "INSERT INTO adv (item_name, time, caption, first_date, last_date, media_path, "
             "duration, Priority) VALUES ('Soap', '10:01:00', 'Soap', '2026-12-01', "
             "'2026-12-31', '/media/soap.mp4', 20, 1)",
         }) {
      ASSERT_TRUE(query.exec(QString::fromLatin1(sql))) << sql;
    }
  }
  QSqlDatabase::removeDatabase(QStringLiteral("tool"));
  QFile manifest(folder.filePath(QStringLiteral("media.tsv")));
  ASSERT_TRUE(manifest.open(QIODevice::WriteOnly));
  manifest.write("/media/feature.mp4\t2400\n/media/soap.mp4\t20\n");
  manifest.close();

  // Each run on a fresh copy of the schedule: a run marks rows as started.
  const auto simulate = [&](const QString& name) {
    const QString data = folder.filePath(name);
    EXPECT_TRUE(QDir().mkpath(data));
    EXPECT_TRUE(QFile::copy(folder.filePath(QStringLiteral("wizard.db")),
                            QDir(data).filePath(QStringLiteral("wizard.db"))));
    const QString trace = folder.filePath(name + QStringLiteral(".jsonl"));
    const Result result =
        run({QStringLiteral("simulate"), QStringLiteral("--data"), data, QStringLiteral("--start"),
             QStringLiteral("2026-12-06 09:59:50"), QStringLiteral("--for"), QStringLiteral("300"),
             QStringLiteral("--trace"), trace, QStringLiteral("--media-durations"),
             manifest.fileName()});
    EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
    // The log keeps to one line per run of an error: a quiet day costs a handful of lines.
    QFile log(QDir(data).filePath(QStringLiteral("error.txt")));
    EXPECT_LT(log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0, 10);
    return trace;
  };
  const QString first = simulate(QStringLiteral("first"));
  const QString second = simulate(QStringLiteral("second"));
  QFile a(first);
  QFile b(second);
  ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
  const QByteArray first_bytes = a.readAll();
  EXPECT_GT(first_bytes.count('\n'), 20);
  EXPECT_TRUE(first_bytes == b.readAll()) << "the two runs' traces differ";

  std::vector<std::string> milestones;
  for (const nlohmann::json& e : vantora::testing::read_trace_lines(first)) {
    const std::string type = e["type"];
    if (type == "launch") {
      milestones.push_back(clock_of(e) + " launch");
    } else if (type == "control" && e["name"] == "Player" && e["prop"] == "Visible") {
      milestones.push_back(clock_of(e) + " player shown");
    } else if (type == "control" && e["name"] == "Text3") {
      milestones.push_back(clock_of(e) + " " + e["value"].get<std::string>());
    } else if (type == "media") {
      milestones.push_back(clock_of(e) + " media " + e["file"].get<std::string>() + " at " +
                           e["start"].dump());
    } else if (type == "control" && e["name"] == "T_Time" && e["prop"] == "Visible") {
      milestones.push_back(clock_of(e) + (e["value"] == true ? " clock shown" : " clock hidden"));
    } else if (type == "error") {
      milestones.push_back(clock_of(e) + " error " + e["procedure"].get<std::string>());
    }
  }
  const std::vector<std::string> expected{
      "09:59:57.000 launch",
      "10:00:24.000 player shown",
      "10:00:26.600 Normal",
      "10:00:26.600 Movie",
      "10:00:26.600 media /media/feature.mp4 at 300.0",
      // The designer hands over the screen before the overlay goes up.
      "10:00:28.200 clock shown",
      // The segment's caption takes the clock's place from 5 s to 15 s after the first tick.
      "10:00:33.200 clock hidden",
      "10:00:43.200 clock shown",
      // The break at 10:01 starts on the first ad tick after it, never early.
      "10:01:00.178 ADV",
      "10:01:00.178 clock hidden",
      "10:01:00.178 media /media/soap.mp4 at 0.0",
      // After the ad the movie comes back ten seconds before where the break cut it.
      "10:01:20.426 clock shown",
      "10:01:20.426 Movie",
      "10:01:20.426 media /media/feature.mp4 at 324.0",
      "10:01:27.026 clock hidden",
      "10:01:37.026 clock shown",
  };
  EXPECT_EQ(milestones, expected);
}

// An hour of schedule, two shows of two segments each: the command plays every segment in
// order, each from its start offset, none before its time, and writes no error line.
TEST(SimulateCommand, TwoShowsOfTwoSegmentsPlayInOrderFromTheirOffsets) {
  QTemporaryDir folder;
  vantora::daygen::DayParameters p;
  p.date = vantora::date_time::from_parts(2026, 12, 7);
  p.shows = 2;
  p.segments_min = p.segments_max = 2;
  p.first_show_s = 10 * 3600 + 5 * 60;
  p.programme_end_s = 11 * 3600;
  p.ad_slots = p.ad_catalogue = p.news_breaks = p.daily_news = 0;
  p.filler_clips = 3;
  const vantora::daygen::GeneratedDay day = vantora::daygen::generate_day(folder.path(), p);
  const QString trace = folder.filePath(QStringLiteral("trace.jsonl"));
  const Result result = run(
      {QStringLiteral("simulate"), QStringLiteral("--data"), day.folder, QStringLiteral("--start"),
       QStringLiteral("2026-12-07 10:00:00"), QStringLiteral("--for"), QStringLiteral("3600"),
       QStringLiteral("--trace"), trace, QStringLiteral("--media-durations"), day.media_durations});
  ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();

  struct Start {
    std::string file;
    double offset_s;
    bool operator==(const Start&) const = default;
  };
  std::vector<Start> expected;
  for (const auto& segment : day.segments) {
    expected.push_back({segment.file.toStdString(), static_cast<double>(segment.start_offset_s)});
  }
  ASSERT_EQ(expected.size(), 4U);
  std::vector<Start> played;
  std::vector<vantora::DateTime> played_at;
  for (const vantora::testing::TracedEvent& e : vantora::testing::read_events(trace)) {
    EXPECT_NE(e.type(), "error") << e.fields.dump();
    if (e.type() == "media" && e.text("mode") == "normal") {
      played.push_back({e.text("file"), e.number("start")});
      played_at.push_back(e.at);
    }
  }
  ASSERT_EQ(played, expected);
  for (std::size_t i = 0; i < played_at.size(); ++i) {
    const auto& segment = day.segments[i];
    const auto late_ms = vantora::date_time::to_linear_ms(played_at[i]) -
                         vantora::date_time::to_linear_ms(segment.start);
    // Never early; late by the ticks that notice it and the start's own waits.
    EXPECT_GE(late_ms, 0) << segment.file.toStdString();
    EXPECT_LT(late_ms, 3000) << segment.file.toStdString();
  }
  EXPECT_FALSE(QFile::exists(QDir(day.folder).filePath(QStringLiteral("error.txt"))));
}

}  // namespace
