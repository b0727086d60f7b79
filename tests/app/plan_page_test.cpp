#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <set>

#include "sim/media_manifest.h"
#include "tools/daygen/day_generator.h"
#include "app/plan/plan_day.h"
#include "app/plan/plan_output.h"

namespace vantora::testing {
namespace {

QString chromium_binary() {
  for (const char* name : {"chromium", "chromium-browser", "google-chrome"}) {
    const QString path = QStandardPaths::findExecutable(QLatin1String(name));
    if (!path.isEmpty()) {
      return path;
    }
  }
  return {};
}

// The plan's page as a person opens it, drawn by a real browser: the picture is not blank, and
// the document the browser built holds the timeline's four lanes with something on each.
TEST(PlanPageInChromium, DrawsTheTimelineLanes) {
  const QString browser = chromium_binary();
  if (browser.isEmpty()) {
    GTEST_SKIP() << "no chromium binary on PATH (scripts/install-deps installs it)";
  }
  QTemporaryDir folder;
  daygen::DayParameters day_shape;
  day_shape.ad_catalogue = 400;
  const daygen::GeneratedDay day = daygen::generate_day(folder.filePath("day"), day_shape);
  QString error;
  const auto manifest = sim::MediaManifest::load(day.media_durations, &error);
  ASSERT_TRUE(manifest) << qPrintable(error);
  plan::PlanRequest request;
  request.data_folder = day.folder;
  request.start = date_time::to_qdatetime(day.date);
  request.until = request.start.addSecs(3 * 3600);
  request.probe = [&manifest](const QString& path) { return manifest->duration_s(path); };
  request.cache_path = folder.filePath(QStringLiteral("lengths.tsv"));
  const plan::PlanResult result = plan::make_plan(request);
  ASSERT_TRUE(result.error.isEmpty()) << qPrintable(result.error);
  const QString page = folder.filePath(QStringLiteral("plan.html"));
  ASSERT_TRUE(plan::write_text_file(page, plan::plan_html(result.plan, QStringLiteral("Plan"))));

  const auto run_browser = [&](const QStringList& arguments) {
    QProcess process;
    process.start(browser,
                  QStringList{QStringLiteral("--headless"), QStringLiteral("--disable-gpu"),
                              QStringLiteral("--no-sandbox"),
                              QStringLiteral("--user-data-dir=") +
                                  folder.filePath(QStringLiteral("profile"))} +
                      arguments + QStringList{QUrl::fromLocalFile(page).toString()});
    EXPECT_TRUE(process.waitForFinished(60'000)) << "chromium did not finish";
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
  };
  const QString shot = folder.filePath(QStringLiteral("plan.png"));
  run_browser({QStringLiteral("--screenshot=") + shot, QStringLiteral("--window-size=1400,1000")});
  const QImage image(shot);
  ASSERT_FALSE(image.isNull()) << "no screenshot";
  std::set<QRgb> colours;
  for (int y = 0; y < image.height() && colours.size() < 8; y += 3) {
    for (int x = 0; x < image.width(); x += 3) {
      colours.insert(image.pixel(x, y));
    }
  }
  EXPECT_GT(colours.size(), 1U) << "the screenshot is blank";

  const QString dom = run_browser({QStringLiteral("--dump-dom")});
  for (const char* lane : {"shows", "breaks", "news", "filler"}) {
    const qsizetype at = dom.indexOf(QStringLiteral("id=\"lane-%1\"").arg(QLatin1String(lane)));
    ASSERT_GE(at, 0) << lane << " lane missing";
    EXPECT_TRUE(dom.mid(at, dom.indexOf(QStringLiteral("</g>"), at) - at).contains("<rect"))
        << lane << " lane is empty";
  }
}

}  // namespace
}  // namespace vantora::testing
