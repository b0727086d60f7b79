#include <gtest/gtest.h>

#include <QDateTime>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <set>

namespace vantora::testing {
namespace {

// The plan's page as a person makes it (a demo channel, then the plan command) and opens it,
// drawn by a real browser: the picture is not blank, and the document the browser built holds the
// timeline's four lanes with something on each.
TEST(PlanPageInChromium, DrawsTheTimelineLanes) {
  QString browser;
  for (const char* name : {"chromium", "chromium-browser", "google-chrome"}) {
    browser = browser.isEmpty() ? QStandardPaths::findExecutable(QLatin1String(name)) : browser;
  }
  if (browser.isEmpty()) {
    GTEST_SKIP() << "no chromium binary on PATH (scripts/install-deps installs it)";
  }
  QTemporaryDir folder;
  const QString channel = folder.filePath(QStringLiteral("channel"));
  const QString page = folder.filePath(QStringLiteral("plan.html"));
  const QString player = QStringLiteral(VANTORA_PLAYER_BINARY);
  ASSERT_EQ(QProcess::execute(player, {QStringLiteral("demo-channel"), channel}), 0);
  // An hour holds the demo's whole day, filler, shows, breaks and news.
  const QString until =
      QDateTime::currentDateTime().addSecs(3600).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  ASSERT_EQ(
      QProcess::execute(player, {QStringLiteral("plan"), QStringLiteral("--data"), channel,
                                 QStringLiteral("--until"), until, QStringLiteral("--html"), page}),
      0);

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
