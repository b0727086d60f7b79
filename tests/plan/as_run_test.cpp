#include <QDir>
#include <QFile>

#include "platform/asrun/as_run_log.h"
#include "scenario/day_scenario.h"
#include "sim/sim_runtime.h"

namespace vantora::testing {
namespace {

// The as-run log is the trace's second listener: over a morning with a show, an ad break, a news
// item with a clip that is not media and an operator's click, it holds exactly the trace's lines
// of its types, and the log of a day more than a month old is gone.
TEST_F(DayScenario, TheAsRunLogOfASimulatedDayIsWhatTheTraceSays) {
  add_row(one_row_show("10:00:00", "10:30:00", "/media/feature.mp4"));
  filler_folder(QStringLiteral("filler"), {QStringLiteral("f.mp4")}, 600);
  const QString news = filler_folder(QStringLiteral("news"), {QStringLiteral("a.mp4")}, 20);
  QFile(news + QStringLiteral("/b.txt")).open(QIODevice::WriteOnly);
  tool_exec(QStringLiteral("INSERT INTO News (news_name, news_time, folder_path) VALUES "
                           "('daily', '10:02:00', '%1')")
                .arg(news));
  tool_exec(QStringLiteral("INSERT INTO Slot_adv (time, slot_kind) VALUES ('10:05:00', 0)"));
  for (const char* ad : {"/media/ad1.mp4", "/media/ad2.mp4"}) {
    tool_exec(QStringLiteral("INSERT INTO adv (time, caption, first_date, last_date, media_path, "
                             "duration, Priority) VALUES ('10:05:00', 'Ad', '2026-12-01', "
                             "'2026-12-31', '%1', 15, 1)")
                  .arg(QLatin1String(ad)));
    media(QLatin1String(ad), 15);
  }
  const QString as_run = platform::AsRunLog::folder(folder_.path());
  QDir().mkpath(as_run);
  for (const char* old : {"2026-11-01.jsonl", "2026-11-10.jsonl"}) {
    QFile(as_run + u'/' + QLatin1String(old)).open(QIODevice::WriteOnly);
  }

  sim::Simulation& sim = simulation(at(9, 59, 30));
  platform::AsRunLog log(sim.runtime(), folder_.path());
  sim.on_player_loaded = [&log](Player& player) { log.attach(player.playout, player.errors); };
  sim.run_for_ms(4 * 60'000);
  player().form.FF.click();
  sim.run_for_ms(3 * 60'000);

  const std::set<std::string> types{"media", "break", "news", "show", "operator", "error"};
  std::vector<nlohmann::json> traced;
  std::set<std::string> seen;
  for (const TracedEvent& e : events("")) {
    if (types.contains(e.type())) {
      traced.push_back(e.fields);
      seen.insert(e.type());
    }
  }
  EXPECT_EQ(seen, (std::set<std::string>{"media", "break", "news", "show", "operator"}));
  EXPECT_EQ(read_trace_lines(platform::AsRunLog::file_for(folder_.path(), QDate(2026, 12, 6))),
            traced);
  EXPECT_FALSE(QFile::exists(as_run + QStringLiteral("/2026-11-01.jsonl")));
  EXPECT_TRUE(QFile::exists(as_run + QStringLiteral("/2026-11-10.jsonl")));
}

// A log that cannot be written costs one line in error.txt, however many events follow, and
// the player goes on.
TEST(AsRunLog, AFolderThatCannotBeWrittenIsOneErrorLine) {
  QTemporaryDir folder;
  QFile blocker(platform::AsRunLog::folder(folder.path()));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
  blocker.close();
  sim::SimRuntime runtime(date_time::from_parts(2026, 12, 6, 10, 0, 0));
  ErrorLog errors(runtime, folder.path());
  PlayoutRecord record;
  platform::AsRunLog log(runtime, folder.path());
  log.attach(record, errors);
  for (int i = 0; i < 3; ++i) {
    record.record(QStringLiteral("break"), {{QStringLiteral("edge"), QStringLiteral("start")}});
  }
  QFile error_txt(errors.file_path());
  ASSERT_TRUE(error_txt.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = error_txt.readAll().trimmed().split('\n');
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].contains("AsRun_Write()")) << lines[0].constData();
}

}  // namespace
}  // namespace vantora::testing
