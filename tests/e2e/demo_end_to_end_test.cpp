#include <gtest/gtest.h>

#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

namespace vantora {
namespace {

// The real program on a demo channel, headless under Xvfb and openbox through the same script
// the demo uses: start-up, the designer stand-in's keys, filler, then the first show.
constexpr int kFirstShowIn_s = 45;
constexpr int kQuitAfter_s = 65;
// The first segment's picture: 60 px down, 480 high as its row says; after filler it is 600 high
// (filler leaves the height at 600), which still covers this area.
const QRect kFirstSegmentPicture(0, 60, 800, 480);

struct ProcessResult {
  int exit_code = -1;
  QString output;
};

ProcessResult run(const QString& program, const QStringList& arguments, int timeout_ms) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  if (!process.waitForFinished(timeout_ms)) {
    process.kill();
    process.waitForFinished();
  }
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromLocal8Bit(process.readAll())};
}

// Share of sampled pixels that are bright and coloured: a test card, not a black window, a grey
// dialog or a white stand-in.
double colourful_share(const QImage& shot, const QRect& area) {
  int sampled = 0;
  int coloured = 0;
  for (int y = area.top(); y <= area.bottom(); y += 8) {
    for (int x = area.left(); x <= area.right(); x += 8) {
      const QColor colour = shot.pixelColor(x, y);
      ++sampled;
      coloured += colour.value() > 60 && colour.hsvSaturation() > 80 ? 1 : 0;
    }
  }
  return sampled == 0 ? 0.0 : static_cast<double>(coloured) / sampled;
}

QStringList lines_of(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return {};
  }
  return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// One demo channel made and played headless; the folder goes with the object.
struct PlayedChannel {
  QTemporaryDir folder;
  QString channel;
  QDateTime first_show;
  int exit_code = -1;
  std::string report;
};

void play_demo_channel(PlayedChannel& run_state) {
  ASSERT_TRUE(run_state.folder.isValid());
  run_state.channel = run_state.folder.filePath(QStringLiteral("channel"));
  const QString player = QStringLiteral(VANTORA_PLAYER_BINARY);
  const ProcessResult made = run(
      player,
      {QStringLiteral("demo-channel"), run_state.channel, QStringLiteral("--first-show-in"),
       QString::number(kFirstShowIn_s), QStringLiteral("--ini-line"), QStringLiteral("audio=none")},
      120'000);
  ASSERT_EQ(made.exit_code, 0) << made.output.toStdString();
  run_state.first_show = QDateTime::currentDateTime().addSecs(kFirstShowIn_s);
  const ProcessResult played =
      run(QStringLiteral(VANTORA_SOURCE_DIR "/scripts/demo-session"),
          {QStringLiteral("--player"), player, QStringLiteral("--channel"), run_state.channel,
           QStringLiteral("--headless"), QStringLiteral("--quit-after"),
           QString::number(kQuitAfter_s), QStringLiteral("--shot-every"), QStringLiteral("2")},
          (kQuitAfter_s + 90) * 1000);
  run_state.exit_code = played.exit_code;
  run_state.report = played.output.toStdString();
}

QStringList screenshots(const QString& channel) {
  return QDir(QDir(channel).filePath(QStringLiteral("screens")))
      .entryList({QStringLiteral("shot-*.png")}, QDir::Files, QDir::Name);
}

TEST(EndToEnd, DemoChannelStartsItsFirstShowOnXvfb) {
  PlayedChannel played;
  play_demo_channel(played);
  ASSERT_FALSE(played.channel.isEmpty());
  const std::string& report = played.report;
  // Quit by --quit-after through the Exit button, not ended by the session's time limit.
  EXPECT_NE(played.exit_code, 124) << report;
  EXPECT_NE(played.exit_code, 137) << report;

  // The designer received the start-up keys in order: Startup's, Load_Start's, play_Click's;
  // then the first clip's hand-over and, at the exit, the closing keys.
  const QStringList keys =
      lines_of(QDir(played.channel).filePath(QStringLiteral("designer-keys.log")));
  const QStringList start_up = {QStringLiteral("Ctrl+F1"), QStringLiteral("Alt+y"),
                                QStringLiteral("Alt+y"),   QStringLiteral("Alt+y"),
                                QStringLiteral("Alt+y"),   QStringLiteral("Space")};
  ASSERT_GE(keys.size(), start_up.size()) << report;
  EXPECT_EQ(keys.mid(0, start_up.size()), start_up) << report;
  EXPECT_EQ(keys.mid(keys.size() - 2),
            (QStringList{QStringLiteral("Ctrl+F2"), QStringLiteral("Ctrl+F2")}))
      << report;

  // The first show's first row was started; its scheduled start places the screenshots.
  QTime show_start = played.first_show.time();
  {
    const QString connection = QUuid::createUuid().toString();
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
      db.setDatabaseName(QDir(played.channel).filePath(QStringLiteral("wizard.db")));
      ASSERT_TRUE(db.open());
      QSqlQuery query(db);
      ASSERT_TRUE(query.exec(
          QStringLiteral("SELECT started, seg_start_time FROM playlist WHERE show_start <> 0 "
                         "ORDER BY seg_start_time LIMIT 1")));
      ASSERT_TRUE(query.next());
      EXPECT_NE(query.value(0).toInt(), 0) << report;
      const QTime scheduled =
          QTime::fromString(query.value(1).toString().mid(11, 8), QStringLiteral("HH:mm:ss"));
      if (scheduled.isValid()) {
        show_start = scheduled;
      }
    }
    QSqlDatabase::removeDatabase(connection);
  }
  EXPECT_FALSE(screenshots(played.channel).isEmpty()) << report;

  // The first segment shows in the video window at its place: a screenshot taken a few seconds
  // into the show, before the designer is warned of the ad break, has the test card in the
  // segment's picture.
  QString during_show;
  for (const QString& name : screenshots(played.channel)) {
    const QTime taken = QTime::fromString(name.mid(5, 6), QStringLiteral("HHmmss"));
    // Seconds from the show's start to the shot, on a clock face (the run may span midnight).
    const int after_start_s = ((show_start.secsTo(taken) % 86400) + 86400 + 43200) % 86400 - 43200;
    if (after_start_s >= 5 && after_start_s < 15) {
      during_show = name;
      break;
    }
  }
  ASSERT_FALSE(during_show.isEmpty()) << "no screenshot after the show started\n" << played.report;
  const QImage shot(QDir(played.channel).filePath(QStringLiteral("screens/") + during_show));
  ASSERT_EQ(shot.size(), QSize(800, 600));
  EXPECT_GT(colourful_share(shot, kFirstSegmentPicture), 0.3) << during_show.toStdString();
}

}  // namespace
}  // namespace vantora
