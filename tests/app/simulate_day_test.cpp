#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

int run_player(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(VANTORA_PLAYER_BINARY), arguments);
  EXPECT_TRUE(process.waitForFinished(60'000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return process.exitCode();
}

// "HH:MM:SS.mmm" of an event's time: the day is fixed, the moment is what counts.
std::string clock_of(const nlohmann::json& event) {
  return event["t"].get<std::string>().substr(11);
}

// The program as an operator would run it: a data folder made by init-db, a one-show schedule
// written by the scheduling tool, and a simulated run from start-up.
TEST(SimulateDay, FromInitDbToTheFirstPicture) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ASSERT_EQ(run_player({QStringLiteral("init-db"), folder.path()}), 0);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tool"));
    db.setDatabaseName(folder.filePath(QStringLiteral("wizard.db")));
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral(
        "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, start_offset, "
        "end_offset, show_start, show_end, logo_file, caption, text6, picture_top, "
        "picture_height, logo_left, logo_top) VALUES ('2026-12-06 10:00:00', '2026-12-06 "
        "10:30:00', "
        "'/media/feature.mp4', 300, 2100, -1, -1, 'CLOCK', 'Feature', '', 0, 0, 640, 20)")));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("tool"));
  QFile manifest(folder.filePath(QStringLiteral("media.tsv")));
  ASSERT_TRUE(manifest.open(QIODevice::WriteOnly));
  manifest.write("/media/feature.mp4\t2400\n");
  manifest.close();

  const QString trace = folder.filePath(QStringLiteral("trace.jsonl"));
  ASSERT_EQ(run_player({QStringLiteral("simulate"), QStringLiteral("--data"), folder.path(),
                        QStringLiteral("--start"), QStringLiteral("2026-12-06 09:59:50"),
                        QStringLiteral("--for"), QStringLiteral("120"), QStringLiteral("--trace"),
                        trace, QStringLiteral("--media-durations"), manifest.fileName()}),
            0);

  QFile file(trace);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  std::vector<std::string> milestones;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.isEmpty()) {
      continue;
    }
    const auto e = nlohmann::json::parse(line.toStdString());
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
  };
  EXPECT_EQ(milestones, expected);
}

}  // namespace
