#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

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

TEST(CommandLine, VersionAndHelp) {
  const Result version = run({QStringLiteral("--version")});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_TRUE(version.out.startsWith(QStringLiteral("vantora-player ")))
      << version.out.toStdString();
  const Result help = run({QStringLiteral("--help")});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(help.out.contains(QStringLiteral("simulate")));
}

TEST(CommandLine, SimulateRejectsBadArguments) {
  QTemporaryDir folder;
  const struct {
    QStringList arguments;
    int exit_code;
  } cases[] = {
      {{QStringLiteral("simulate"), QStringLiteral("--data"), folder.path(),
        QStringLiteral("--start"), QStringLiteral("tomorrow"), QStringLiteral("--for"),
        QStringLiteral("10")},
       2},
      {{QStringLiteral("simulate"), QStringLiteral("--data"),
        folder.filePath(QStringLiteral("none")), QStringLiteral("--start"),
        QStringLiteral("2026-12-06 10:00:00"), QStringLiteral("--for"), QStringLiteral("10")},
       2},
      {{QStringLiteral("simulate"), QStringLiteral("--data"), folder.path(),
        QStringLiteral("--start"), QStringLiteral("2026-12-06 10:00:00"), QStringLiteral("--for"),
        QStringLiteral("-5")},
       105},  // CLI11's validation failure
  };
  for (const auto& c : cases) {
    const Result result = run(c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.arguments.join(u' ').toStdString();
    EXPECT_FALSE(result.err.isEmpty());
  }
}

// An empty schedule: start-up, the day start and an hour of waiting for a show that never comes.
// (How fast a whole day runs is measured in bench/, not here.)
TEST(CommandLine, SimulateRunsAVirtualSpanAndWritesItsTrace) {
  QTemporaryDir folder;
  const QString data = folder.filePath(QStringLiteral("channel"));
  ASSERT_EQ(run({QStringLiteral("init-db"), data}).exit_code, 0);
  const QString trace = folder.filePath(QStringLiteral("trace.jsonl"));
  const Result result =
      run({QStringLiteral("simulate"), QStringLiteral("--data"), data, QStringLiteral("--start"),
           QStringLiteral("2026-12-06 10:00:00"), QStringLiteral("--for"), QStringLiteral("3600"),
           QStringLiteral("--trace"), trace});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  QFile file(trace);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray lines = file.readAll();
  EXPECT_TRUE(lines.contains(R"("type":"launch")"));
  EXPECT_TRUE(lines.contains(R"("name":"Player","prop":"Visible","value":true)"));
  // The log keeps to one line per run of an error: an idle hour costs a handful of lines.
  QFile log(QDir(data).filePath(QStringLiteral("error.txt")));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_LT(log.readAll().count('\n'), 10);
}

}  // namespace
