#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/trace_lines.h"

namespace {

using namespace Qt::StringLiterals;

struct Result {
  int exit_code;
  QString output;  // standard output, then standard error
};

Result run(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(VANTORA_PLAYER_BINARY), arguments);
  EXPECT_TRUE(process.waitForFinished(60'000));
  return {process.exitCode(),
          QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
}

void write_file(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

// A data folder made by init-db, then the scheduling tool's statements.
void make_channel(const QString& data, std::initializer_list<const char*> statements) {
  ASSERT_EQ(run({u"init-db"_s, data}).exit_code, 0);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, data);
    db.setDatabaseName(data + u"/wizard.db"_s);
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    for (const char* sql : statements) {
      ASSERT_TRUE(query.exec(QString::fromLatin1(sql))) << sql;
    }
  }
  QSqlDatabase::removeDatabase(data);
}

TEST(CommandLine, ExitCodesAndMessages) {
  QTemporaryDir folder;
  make_channel(folder.filePath(u"existing"_s), {});
  write_file(folder.filePath(u"no-folder.ini"_s), "\"/no/such/folder\",x\n");
  write_file(folder.filePath(u"existing.ini"_s),
             "\"" + folder.filePath(u"existing"_s).toUtf8() + "\",x\n");
  // A script with a wrong line: nothing is simulated, no trace is begun.
  write_file(folder.filePath(u"bad.txt"_s), "10:00:40 clipboard DISC\n10:00:45 click B_Display\n");
  // A day whose only show has no file: the plan finds an error.
  make_channel(folder.filePath(u"broken"_s),
               {"INSERT INTO playlist (seg_start_time, seg_end_time, file_name, show_start, "
                "show_end) VALUES ('2026-12-06 10:02:00', '2026-12-06 10:05:00', '/no/such.mp4', "
                "-1, -1)"});
  // Arguments apart by '|'; '@' stands for the test's folder.
  const struct {
    const char* arguments;
    int exit_code;
    const char* says;
  } cases[] = {
      {"--version", 0, "vantora-player "},
      {"--help", 0, "simulate"},
      {"--config|@/channel.ini", 2, "@/channel.ini"},
      {"--config|@/no-folder.ini", 2, "/no/such/folder"},
      {"--config|@/existing.ini|--start-at|tomorrow", 2, "tomorrow"},
      {"init-db|@/existing", 1, "already exists"},
      {"plan|--data|@/existing|--start|2026-12-06 10:00:00|--until|2026-12-06 10:10:00", 0, ": OK"},
      {"plan|--data|@/broken|--start|2026-12-06 10:00:00|--until|2026-12-06 10:10:00", 1,
       "media-missing [playlist #1]"},
      {"plan|--data|@/existing|--start|tomorrow|--until|2026-12-06 10:10:00", 2, "tomorrow"},
      {"plan|--data|@/existing|--start|2026-12-06 10:20:00|--until|2026-12-06 10:10:00", 2,
       "--until"},
      {"report|--data|@/existing|--day|2026-12-06", 2, "plan --save"},
      {"simulate|--data|@/existing|--start|tomorrow|--for|10", 2, "tomorrow"},
      {"simulate|--data|@/none|--start|2026-12-06 10:00:00|--for|10", 2, "@/none"},
      {"simulate|--data|@/existing|--start|2026-12-06 10:00:00|--for|10|--input|@/bad.txt|--trace|"
       "@/bad.jsonl",
       2, "line 2: unknown control \"B_Display\""},
      // CLI11's validation failure
      {"simulate|--data|@/existing|--start|2026-12-06 10:00:00|--for|-5", 105, "-5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const Result result = run(QString(c.arguments).replace(u'@', folder.path()).split(u'|'));
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_TRUE(result.output.contains(QString(c.says).replace(u'@', folder.path())))
        << result.output.toStdString();
  }
  EXPECT_FALSE(QFile::exists(folder.filePath(u"bad.jsonl"_s)));
}

// The program as an operator runs it: a data folder made by init-db, a one-show schedule with an
// ad break written by the scheduling tool, and a simulated run from start-up driven from outside:
// another program writes the clipboard, the operator clicks, the program is killed mid-show and
// launched again, then the operator presses Exit. The same day simulated twice gives the same
// trace, byte for byte: what makes a simulated run worth comparing with anything.
TEST(SimulateCommand, AScriptedDayFromInitDbRunsTheSameEveryTime) {
  QTemporaryDir folder;
  // The show starts 26 s late and, paused by the clipboard, has played some 45 s at the crash; a
  // launch a minute later resumes it only with a tolerance wider than the minute the schedule
  // gives.
  make_channel(
      folder.path(),
      {// One show from 10:00, 300 s into its file, with the clock as its logo.
       "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, start_offset, end_offset, "
       "show_start, show_end, logo_file, caption, text6, picture_top, picture_height, logo_left, "
       "logo_top) VALUES ('2026-12-06 10:00:00', '2026-12-06 10:30:00', '/media/feature.mp4', 300, "
       "2100, -1, -1, 'CLOCK', 'Feature', '', 0, 0, 640, 20)",
       "UPDATE \"Player INI\" SET start_tolerance = 180",
       "INSERT INTO Slot_adv (slot_name, time, slot_kind) VALUES ('Break', '10:01:00', 0)",
       "INSERT INTO adv (item_name, time, caption, first_date, last_date, media_path, "
       "duration, Priority) VALUES ('Soap', '10:01:00', 'Soap', '2026-12-01', "
       "'2026-12-31', '/media/soap.mp4', 20, 1)"});
  const QString manifest = folder.filePath(u"media.tsv"_s);
  write_file(manifest, "/media/feature.mp4\t2400\n/media/soap.mp4\t20\n");
  const QString script = folder.filePath(u"input.txt"_s);
  write_file(script,
             "# another program asks the player to step aside\n"
             "10:01:40 clipboard DISC\n"
             "10:01:45 click B_Restart\n"
             "10:02:00 crash\n"
             "2026-12-06 10:03:00 launch\n"
             "10:04:30 click Command1\n");

  // Each run on a fresh copy of the schedule: a run marks rows as started.
  const auto simulate_copy = [&](const QString& name) {
    const QString data = folder.filePath(name);
    EXPECT_TRUE(QDir().mkpath(data));
    EXPECT_TRUE(QFile::copy(folder.filePath(u"wizard.db"_s), QDir(data).filePath(u"wizard.db"_s)));
    const QString trace = folder.filePath(name + u".jsonl"_s);
    // Five minutes from 09:59:50.
    const Result result = run({u"simulate"_s, u"--data"_s, data, u"--start"_s,
                               u"2026-12-06 09:59:50"_s, u"--for"_s, u"300"_s, u"--trace"_s, trace,
                               u"--media-durations"_s, manifest, u"--input"_s, script});
    EXPECT_EQ(result.exit_code, 0) << result.output.toStdString();
    // The log keeps to one line per run of an error: a quiet day costs a handful of lines.
    QFile log(QDir(data).filePath(u"error.txt"_s));
    EXPECT_LT(log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0, 10);
    return trace;
  };
  const QString first = simulate_copy(u"first"_s);
  QFile a(first), b(simulate_copy(u"second"_s));
  ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
  EXPECT_TRUE(a.readAll() == b.readAll()) << "the two runs' traces differ";

  // What the run did, one line per instant: "hh:mm:ss.zzz event | event".
  std::vector<std::string> seen;
  bool crashed = false;
  for (const nlohmann::json& e : vantora::testing::read_trace_lines(first)) {
    const auto text = [&e](const char* key) { return e[key].get<std::string>(); };
    const std::string at = text("t").substr(11), type = text("type");
    std::string what;
    if (type == "input") {
      what = "input " + text("action") +
             (e.contains("handled") ? " handled=" + e["handled"].dump() : "");
      crashed = e["action"] == "crash";
    } else if (crashed && type == "stop") {
      what = "stop";  // the clip dies with the program
    } else if (crashed) {
      // Only the dead program's windows go; nothing of it runs or writes.
      EXPECT_EQ(type, "desktop") << e.dump();
      what = "close " + text("name");
    } else if (type == "clipboard") {
      what = "clipboard " + text("value") + " by " + text("by");
    } else if (type == "launch") {
      what = "launch";
    } else if (type == "media") {
      what = "media " + text("file") + " at " + e["start"].dump();
    } else if (type == "error") {
      what = "error " + text("procedure");
    } else if (type == "control" && e["prop"] == "Visible" &&
               (e["name"] == "Player" || e["name"] == "T_Time")) {
      what = text("name") + (e["value"] == true ? " shown" : " hidden");
    } else if (type == "control" && e["name"] == "Text3") {
      what = text("value");
    }
    if (!what.empty() && !seen.empty() && seen.back().starts_with(at)) {
      seen.back() += " | " + what;
    } else if (!what.empty()) {
      seen.push_back(at + " " + what);
    }
  }
  const std::vector<std::string> expected{
      "09:59:57.000 launch",
      "10:00:24.000 Player shown",
      "10:00:26.600 Normal | Movie | media /media/feature.mp4 at 300.0",
      // The designer hands over the screen before the overlay goes up.
      "10:00:28.200 T_Time shown",
      // The segment's caption takes the clock's place from 5 s to 15 s after the first tick.
      "10:00:33.200 T_Time hidden",
      "10:00:43.200 T_Time shown",
      // The break at 10:01 starts on the first ad tick after it, never early.
      "10:01:00.178 ADV | T_Time hidden | media /media/soap.mp4 at 0.0",
      // After the ad the movie comes back ten seconds before where the break cut it.
      "10:01:20.426 T_Time shown | Movie | media /media/feature.mp4 at 324.0",
      "10:01:27.026 T_Time hidden",
      "10:01:37.026 T_Time shown",
      "10:01:40.000 input clipboard | clipboard DISC by other",
      "10:01:40.018 clipboard OK by player | T_Time hidden",
      // The emergency folder is empty: the button is served and queues nothing.
      "10:01:45.000 input click handled=true",
      "10:02:00.000 input crash | close Vantora Player | close Vantora Player Video Window | stop",
      "10:03:00.000 input launch handled=true",
      // The designer outlived the crash: it is taken over, not launched again, 10 s sooner.
      "10:03:24.000 Player shown",
      // The show's start and position were committed before the crash: the second run finds it
      // interrupted and resumes it 5 s past the position saved while it was paused.
      "10:03:26.600 Movie | media /media/feature.mp4 at 348.0",
      "10:03:28.200 T_Time shown | Intrupted",
      "10:03:33.200 T_Time hidden",
      "10:03:43.200 T_Time shown",
      "10:04:30.000 input click handled=true",
      "10:04:37.100 Player hidden",
  };
  EXPECT_EQ(seen, expected);
}

}  // namespace
