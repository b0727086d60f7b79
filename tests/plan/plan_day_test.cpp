#include "app/plan/plan_day.h"

#include <QDirIterator>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <map>
#include <ranges>
#include <set>

#include "app/plan/day_report.h"
#include "app/plan/plan_output.h"
#include "core/shell/player.h"
#include "platform/asrun/as_run_log.h"
#include "sim/media_manifest.h"
#include "sim/sim_runtime.h"
#include "sim/simulation.h"
#include "support/schedule_fixture.h"
#include "support/trace_lines.h"
#include "tools/daygen/day_generator.h"

namespace vantora::testing {
namespace {

using namespace Qt::StringLiterals;

// A channel folder with real (empty) files whose lengths a stand-in prober knows: one clean
// morning, and the same morning with one of each trouble a plan should find.
class PlanDay : public ScheduleFixture {
 protected:
  QString clip(const QString& name, double length_s) {
    const QString path = folder_.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile(path).open(QIODevice::WriteOnly);
    lengths_.insert(path, length_s);
    return path;
  }

  void show(const char* start, const char* end, const QString& file, int start_offset = 0,
            int end_offset = 1200) {
    PlaylistRow row = one_row_show(start, end, "");
    row.file = file;
    row.start_offset = start_offset;
    row.end_offset = end_offset;
    add_row(row);
  }

  void ad_slot(const char* time, const QString& ad, const char* last_date) {
    tool_exec(
        u"INSERT INTO Slot_adv (time, slot_kind) VALUES ('%1', 0)"_s.arg(QLatin1String(time)));
    tool_exec(
        u"INSERT INTO adv (time, caption, first_date, last_date, media_path, duration, "
        "Priority) VALUES ('%1', 'Bakery', '2026-12-01', '%2', '%3', 20, 1)"_s.arg(
            QLatin1String(time), QLatin1String(last_date), ad));
  }

  void clean_morning() {
    clip(u"filler/f1.mp4"_s, 300);
    clip(u"filler/f2.mp4"_s, 300);
    show("10:00:00", "10:20:00", clip(u"media/a.mp4"_s, 1200));
    ad_slot("10:05:00", clip(u"media/ad1.mp4"_s, 20), "2026-12-31");
    const QString news = clip(u"news/n1.mp4"_s, 20);
    tool_exec(
        u"INSERT INTO News (news_name, news_time, folder_path) VALUES ('daily', '10:10:00', "
        "'%1')"_s.arg(QFileInfo(news).path()));
  }

  plan::PlanResult plan_it(const char* until = "11:30:00", plan::RealTiming timing = {},
                           QTime from = QTime(9, 58)) {
    plan::PlanRequest request;
    request.data_folder = folder_.path();
    request.start = QDateTime(QDate(2026, 12, 6), from);
    request.until = QDateTime(QDate(2026, 12, 6), QTime::fromString(QLatin1String(until)));
    request.probe = [this](const QString& path) {
      ++probes_;
      return length_s(path);
    };
    request.cache_path = cache_.filePath(u"lengths.tsv"_s);
    request.timing = timing;
    return plan::make_plan(request);
  }

  std::optional<double> length_s(const QString& path) const {
    return lengths_.contains(path) ? std::optional<double>(lengths_.value(path)) : std::nullopt;
  }

  std::set<QString> kinds(const plan::DayPlan& day, plan::Severity at_least) {
    auto found = day.findings |
                 std::views::filter([at_least](const auto& f) { return f.severity >= at_least; }) |
                 std::views::transform(&plan::Finding::kind);
    return {found.begin(), found.end()};
  }

  // Every file of the folder with its bytes, the database aside, and its rows.
  std::map<QString, QByteArray> folder_state() {
    std::map<QString, QByteArray> state;
    QDirIterator it(folder_.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      QFile file(it.next());
      file.open(QIODevice::ReadOnly);
      state[file.fileName()] =
          file.fileName().contains(u"wizard.db"_s) ? QByteArray() : file.readAll();
    }
    for (const char* table : {"playlist", "\"Player INI\"", "Played", "Wizard_INI", "AD_Temp"}) {
      QSqlQuery query(tool());
      EXPECT_TRUE(query.exec(u"SELECT * FROM %1"_s.arg(QLatin1String(table))));
      QByteArray& rows = state[QLatin1String(table)];
      while (query.next()) {
        for (int i = 0; i < query.record().count(); ++i) {
          rows += query.value(i).toString().toUtf8() + '|';
        }
      }
    }
    return state;
  }

  QHash<QString, double> lengths_;
  int probes_ = 0;
  QTemporaryDir cache_;
};

// A clean morning planned, then "really" run (the same player with its as-run log in the
// channel folder, an operator's FF in the show): the plan finds nothing, touches nothing and
// probes each file once; the as-run log holds exactly the trace's lines of its types, and the log
// of a day more than a month old is gone; the report finds every start on time and bills the ad.
TEST_F(PlanDay, ACleanMorningIsPlannedWithoutFindingAndRunsAsPlanned) {
  clean_morning();
  const QString as_run = platform::AsRunLog::folder(folder_.path());
  QDir().mkpath(as_run);
  for (const char* old : {"2026-11-01.jsonl", "2026-11-10.jsonl"}) {
    QFile(as_run + u'/' + QLatin1String(old)).open(QIODevice::WriteOnly);
  }
  const auto before = folder_state();
  // Every start waits for the engine, the planned ones as the aired ones.
  constexpr int kRender_ms = 40;
  const plan::PlanResult result = plan_it("10:30:00", {kRender_ms, std::nullopt});
  ASSERT_TRUE(result.error.isEmpty()) << qPrintable(result.error);
  EXPECT_EQ(kinds(result.plan, plan::Severity::kWarning), std::set<QString>{})
      << plan::plan_summary(result.plan);
  const auto aired = result.plan.items | std::views::transform(&plan::AiredItem::kind);
  EXPECT_EQ(std::set<QString>(aired.begin(), aired.end()),
            (std::set<QString>{"movie", "ad", "news", "filler"}));
  EXPECT_EQ(folder_state(), before);
  const int first_probes = probes_;
  EXPECT_GT(first_probes, 0);
  EXPECT_TRUE(plan_it("10:30:00", {kRender_ms, std::nullopt}).error.isEmpty());
  EXPECT_EQ(probes_, first_probes);

  sim::SimulationOptions options;
  options.data_folder = folder_.path();
  options.start = date_time::from_parts(2026, 12, 6, 9, 58, 0);
  options.render_ms = kRender_ms;
  options.trace_path = folder_.filePath(u"trace.jsonl"_s);
  options.media_prober = [this](const QString& path) { return length_s(path); };
  sim::Simulation sim(options);
  platform::AsRunLog log(sim.runtime(), folder_.path());
  sim.on_player_loaded = [&log](Player& player) { log.attach(player.playout, player.errors); };
  ASSERT_TRUE(sim.start());
  sim.run_for_ms(5 * 60'000);
  sim.application().player()->form.FF.click();
  sim.run_for_ms(27 * 60'000);
  sim.trace().flush();

  const std::set<std::string> as_run_types{"media", "break", "news", "show", "operator", "error"};
  const auto type = [](const nlohmann::json& e) { return e["type"].get<std::string>(); };
  std::vector<nlohmann::json> traced = read_trace_lines(options.trace_path);
  std::erase_if(traced, [&](const nlohmann::json& e) { return !as_run_types.contains(type(e)); });
  const auto seen = traced | std::views::transform(type);
  EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()),
            (std::set<std::string>{"media", "break", "news", "show", "operator"}));
  const QString as_run_file = platform::AsRunLog::file_for(folder_.path(), QDate(2026, 12, 6));
  EXPECT_EQ(read_trace_lines(as_run_file), traced);
  EXPECT_FALSE(QFile::exists(as_run + u"/2026-11-01.jsonl"_s));
  EXPECT_TRUE(QFile::exists(as_run + u"/2026-11-10.jsonl"_s));

  QString error;
  const auto as_run_items = plan::read_as_run(as_run_file, &error);
  ASSERT_TRUE(error.isEmpty());
  const plan::DayReport report = plan::compare_day(result.plan, as_run_items, QDate(2026, 12, 6));
  EXPECT_TRUE(report.planned_not_aired.empty()) << plan::report_summary(report);
  ASSERT_FALSE(report.starts.empty());
  for (const plan::StartComparison& start : report.starts) {
    ASSERT_TRUE(start.late_s) << qPrintable(start.label);
    EXPECT_LT(std::abs(*start.late_s), 0.001);
  }
  const std::string csv = plan::billing_csv(report);
  const QStringList lines = QString::fromStdString(csv).trimmed().split(u'\n');
  ASSERT_EQ(lines.size(), 2) << csv;
  EXPECT_EQ(lines[0], u"file,caption,aired_at,played_s,length_s,played_to_end"_s);
  EXPECT_TRUE(lines[1].startsWith(u'"' + folder_.filePath(u"media/ad1.mp4"_s) +
                                  u"\",\"Bakery\",2026-12-06T10:05:00."_s))
      << csv;
  EXPECT_TRUE(lines[1].endsWith(u",20.0,yes"_s)) << csv;

  // The next plan of the channel waits as long as its as-run log says the engine took, and
  // reaches its day start as late after the start-up as the latest real one did.
  {
    QFile file(as_run_file);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(R"({"t":"2026-12-06T10:40:00.000","type":"startup"})"
               "\n"
               R"({"t":"2026-12-06T10:40:41.250","type":"show","outcome":"Normal"})"
               "\n");
  }
  const plan::RealTiming timing = plan::channel_timing(folder_.path());
  EXPECT_EQ(timing.render_ms, kRender_ms);
  // The later show at 10:45:41.250 witnesses the 41.25 s start-up the log gave.
  const plan::PlanResult later = plan_it("11:00:00", timing, QTime(10, 45));
  const auto show = std::ranges::find(later.plan.events, u"show"_s, &plan::AiredEvent::type);
  ASSERT_NE(show, later.plan.events.end());
  EXPECT_EQ(show->t, QDateTime(QDate(2026, 12, 6), QTime(10, 45, 41, 250)));
}

TEST_F(PlanDay, ATroubledMorningWitnessesEachFinding) {
  clean_morning();
  // The morning show runs a minute past its end (its break and news put it back): this one
  // starts half a minute late.
  show("10:20:30", "10:24:00", clip(u"media/b.mp4"_s, 180), 0, 180);
  show("10:25:00", "10:35:00", folder_.filePath(u"media/missing.mp4"_s));
  show("10:40:00", "10:55:00", clip(u"media/c.mp4"_s, 600), 900, 1500);
  // Its file plays five minutes past the row's end, past the next show's start tolerance.
  show("10:50:00", "11:10:00", clip(u"media/d.mp4"_s, 1500));
  show("11:12:00", "11:25:00", clip(u"media/e.mp4"_s, 600), 0, 600);
  ad_slot("10:45:00", clip(u"media/old.mp4"_s, 20), "2026-11-30");
  ad_slot("11:26:00", clip(u"media/late.mp4"_s, 20), "2026-12-31");
  // Due while the 10:10 item runs: once it ends, the look-ahead only sees times still to come.
  tool_exec(
      u"INSERT INTO News (news_name, news_time, folder_path) VALUES ('weather', "
      "'10:10:05', '%1')"_s.arg(folder_.filePath(u"news"_s)));
  // From 11:15 the filler folder in force is empty and the default one is gone: dead air, and
  // the 11:26 break is never searched.
  tool_exec(u"UPDATE \"Player INI\" SET filler_folder = '%1'"_s.arg(folder_.filePath(u"gone"_s)));
  add_filler_row(folder_.filePath(u"filler"_s), u"00:00:00"_s, u"11:15:00"_s, 0);
  QDir().mkpath(folder_.filePath(u"dark"_s));
  add_filler_row(folder_.filePath(u"dark"_s), u"11:15:00"_s, u"11:30:00"_s, 0);
  const plan::PlanResult result = plan_it();
  ASSERT_TRUE(result.error.isEmpty());
  const std::set<QString> expected{"media-missing",  "offset-past-end",  "overlap",
                                   "slot-no-ads",    "show-late",        "show-given-up",
                                   "slot-uncovered", "news-never-fires", "filler-empty",
                                   "dead-air",       "error-line"};
  EXPECT_TRUE(std::ranges::includes(kinds(result.plan, plan::Severity::kWarning), expected))
      << plan::plan_summary(result.plan);
  EXPECT_EQ(std::ranges::count(result.plan.findings, u"media-missing"_s, &plan::Finding::kind), 1);
  EXPECT_TRUE(result.plan.has_errors());

  // Planned from its second minute, the morning show reads as interrupted a minute in; the next
  // show, moved up to overlap its end, leaves it no time to finish.
  tool_exec("UPDATE playlist SET started = -1, saved_position = 60 WHERE file_name LIKE '%/a.mp4'");
  tool_exec(
      "UPDATE playlist SET seg_start_time = '2026-12-06 10:19:00' WHERE file_name LIKE '%/b.mp4'");
  const plan::PlanResult restarted = plan_it("10:30:00", {}, QTime(10, 0, 55));
  EXPECT_TRUE(std::ranges::any_of(restarted.plan.findings, [](const plan::Finding& f) {
    return f.kind == "show-given-up" && f.row.isEmpty();
  })) << plan::plan_summary(restarted.plan);
}

// A log that cannot be written costs one line in error.txt, however many events follow, and
// the player goes on.
TEST(AsRunLog, AFolderThatCannotBeWrittenIsOneErrorLine) {
  QTemporaryDir folder;
  // A file where the folder should be.
  ASSERT_TRUE(QFile(platform::AsRunLog::folder(folder.path())).open(QIODevice::WriteOnly));
  sim::SimRuntime runtime(date_time::from_parts(2026, 12, 6, 10, 0, 0));
  ErrorLog errors(runtime, folder.path());
  PlayoutRecord record;
  platform::AsRunLog log(runtime, folder.path());
  log.attach(record, errors);
  for (int i = 0; i < 3; ++i) {
    record.record(u"break"_s, {{u"edge"_s, u"start"_s}});
  }
  QFile error_txt(errors.file_path());
  ASSERT_TRUE(error_txt.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = error_txt.readAll().trimmed().split('\n');
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].contains("AsRun_Write()")) << lines[0].constData();
}

// The generator's realistic day (40 shows, 200 breaks over a 5,000-row catalogue, 20 news
// items, four dayparts of filler), its first six hours: the plan finds no error against it.
TEST(PlanGeneratedDay, ARealisticMorningHasNoError) {
  QTemporaryDir folder;
  const daygen::GeneratedDay day = daygen::generate_day(folder.path());
  QString error;
  const auto manifest = sim::MediaManifest::load(day.media_durations, &error);
  ASSERT_TRUE(manifest) << qPrintable(error);
  plan::PlanRequest request;
  request.data_folder = folder.path();
  request.start = date_time::to_qdatetime(day.date);
  request.until = request.start.addSecs(6 * 3600);
  request.probe = [&manifest](const QString& path) { return manifest->duration_s(path); };
  request.cache_path = folder.filePath(u"lengths.tsv"_s);
  const plan::PlanResult result = plan::make_plan(request);
  ASSERT_TRUE(result.error.isEmpty());
  EXPECT_FALSE(result.plan.has_errors()) << plan::plan_summary(result.plan, 40);
  EXPECT_GT(result.plan.items.size(), 100U);
}

}  // namespace
}  // namespace vantora::testing
