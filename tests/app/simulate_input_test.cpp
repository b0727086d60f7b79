#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "support/trace_lines.h"

namespace {

struct Outcome {
  int exit_code;
  QString err;
};

Outcome run_player(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(VANTORA_PLAYER_BINARY), arguments);
  EXPECT_TRUE(process.waitForFinished(60'000));
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

void write_file(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

// A one-show day driven from outside: another program writes the clipboard, the operator clicks,
// the program is killed mid-show and launched again, then the operator presses Exit. A script
// with a wrong line runs nothing at all.
TEST(SimulateInput, AScriptDrivesTheRunAndAWrongLineStopsItBeforeItStarts) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString data = folder.filePath(QStringLiteral("channel"));
  ASSERT_EQ(run_player({QStringLiteral("init-db"), data}).exit_code, 0);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tool"));
    db.setDatabaseName(data + QStringLiteral("/wizard.db"));
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral(
        "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, start_offset, "
        "end_offset, show_start, show_end, logo_file, caption, text6, picture_top, "
        "picture_height) VALUES ('2026-12-06 10:00:00', '2026-12-06 10:30:00', "
        "'/media/feature.mp4', 300, 2100, -1, -1, 'NO', 'Feature', '', 0, 0)")));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("tool"));
  const QString manifest = folder.filePath(QStringLiteral("media.tsv"));
  write_file(manifest, "/media/feature.mp4\t2400\n");
  const QString script = folder.filePath(QStringLiteral("input.txt"));
  write_file(script,
             "# another program asks the player to step aside\n"
             "10:00:40 clipboard DISC\n"
             "10:00:45 click B_Restart\n"
             "10:01:00 crash\n"
             "2026-12-06 10:02:00 launch\n"
             "10:03:30 click Command1\n");
  const QString trace = folder.filePath(QStringLiteral("trace.jsonl"));
  auto simulate = [&] {
    return run_player({QStringLiteral("simulate"), QStringLiteral("--data"), data,
                       QStringLiteral("--start"), QStringLiteral("2026-12-06 09:59:50"),
                       QStringLiteral("--for"), QStringLiteral("300"), QStringLiteral("--trace"),
                       trace, QStringLiteral("--media-durations"), manifest,
                       QStringLiteral("--input"), script});
  };
  const Outcome good = simulate();
  ASSERT_EQ(good.exit_code, 0) << good.err.toStdString();

  std::vector<std::string> seen;
  bool crashed = false;
  for (const nlohmann::json& e : vantora::testing::read_trace_lines(trace)) {
    const std::string at = e["t"].get<std::string>().substr(11, 8) + " ";
    const std::string type = e["type"];
    if (type == "input") {
      seen.push_back(at + "input " + e["action"].get<std::string>() +
                     (e.contains("handled") ? " handled=" + e["handled"].dump() : ""));
      crashed = e["action"] == "crash";
    } else if (crashed && type == "stop") {
      // The clip dies with the program.
      seen.push_back(at + "stop");
    } else if (crashed) {
      // Only the dead program's windows go; nothing of it runs or writes.
      EXPECT_EQ(type, "desktop") << e.dump();
      seen.push_back(at + "close " + e["name"].get<std::string>());
    } else if (type == "clipboard") {
      seen.push_back(at + "clipboard " + e["value"].get<std::string>() + " by " +
                     e["by"].get<std::string>());
    } else if (type == "launch" || type == "media") {
      seen.push_back(at + type);
    } else if (type == "control" && e["name"] == "Player" && e["prop"] == "Visible") {
      seen.push_back(at + "player " + (e["value"].get<bool>() ? "shown" : "hidden"));
    }
  }
  const std::vector<std::string> expected{
      "09:59:57 launch",
      "10:00:24 player shown",
      "10:00:26 media",
      "10:00:40 input clipboard",
      "10:00:40 clipboard DISC by other",
      "10:00:40 clipboard OK by player",
      // The emergency folder is empty: the button is served and queues nothing.
      "10:00:45 input click handled=true",
      "10:01:00 input crash",
      "10:01:00 close Vantora Player",
      "10:01:00 close Vantora Player Video Window",
      "10:01:00 stop",
      "10:02:00 input launch handled=true",
      // The designer outlived the crash: it is taken over, not launched again, 10 s sooner.
      "10:02:24 player shown",
      // The interrupted show resumes from the position saved before the crash.
      "10:02:26 media",
      "10:03:30 input click handled=true",
      "10:03:37 player hidden",
  };
  EXPECT_EQ(seen, expected);
  {
    // The show's start was committed before the crash; the second run found it begun.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("after"));
    db.setDatabaseName(data + QStringLiteral("/wizard.db"));
    ASSERT_TRUE(db.open());
    QSqlQuery query(QStringLiteral("SELECT started, completed FROM playlist"), db);
    ASSERT_TRUE(query.next());
    EXPECT_NE(query.value(0).toInt(), 0);
    EXPECT_EQ(query.value(1).toInt(), 0);
  }
  QSqlDatabase::removeDatabase(QStringLiteral("after"));

  ASSERT_TRUE(QFile::remove(trace));
  write_file(script, "10:00:40 clipboard DISC\n10:00:45 click B_Display\n");
  const Outcome bad = simulate();
  EXPECT_EQ(bad.exit_code, 2);
  EXPECT_TRUE(bad.err.contains(QStringLiteral("line 2: unknown control \"B_Display\"")))
      << bad.err.toStdString();
  EXPECT_FALSE(QFile::exists(trace));
}

}  // namespace
