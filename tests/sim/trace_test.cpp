#include "sim/trace.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <nlohmann/json.hpp>

#include "core/shell/forms.h"
#include "sim/sim_runtime.h"
#include "support/trace_lines.h"

namespace vantora::sim {
namespace {

using testing::read_trace_lines;

TEST(Trace, EveryLineCarriesVirtualTimeTypeAndItsFields) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("trace.jsonl"));
  SimRuntime runtime(date_time::from_parts(2026, 12, 6, 23, 59, 59, 500));
  {
    Trace trace(runtime);
    ASSERT_TRUE(trace.open(path));
    forms::PlayerForm player(runtime);
    TraceFormObserver observer(trace);
    player.add_observer(&observer);
    player.Text3.Text = QStringLiteral("Intrupted \"quoted\" é");
    runtime.sleep_ms(600);
    player.FillerList.AddItem(QStringLiteral("a.mp4"));
    player.Logo.Visible = true;
    trace.error(3021, QStringLiteral("BOF or EOF"), QStringLiteral("Load_Start()"));
    trace.event("keys", {{"keys", "%y"}, {"window", nullptr}});
    player.remove_observer(&observer);
  }
  const auto lines = read_trace_lines(path);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0]["t"], "2026-12-06T23:59:59.500");
  EXPECT_EQ(lines[0]["type"], "control");
  EXPECT_EQ(lines[0]["form"], "Player");
  EXPECT_EQ(lines[0]["name"], "Text3");
  EXPECT_EQ(lines[0]["prop"], "Text");
  EXPECT_EQ(lines[0]["value"], "Intrupted \"quoted\" é");
  EXPECT_EQ(lines[1]["t"], "2026-12-07T00:00:00.100");
  EXPECT_EQ(lines[1]["value"], nlohmann::json::array({"a.mp4"}));
  EXPECT_EQ(lines[2]["value"], true);
  EXPECT_EQ(lines[3], (nlohmann::json{{"t", "2026-12-07T00:00:00.100"},
                                      {"type", "error"},
                                      {"number", 3021},
                                      {"description", "BOF or EOF"},
                                      {"procedure", "Load_Start()"}}));
  EXPECT_TRUE(lines[4]["window"].is_null());
}

}  // namespace
}  // namespace vantora::sim
