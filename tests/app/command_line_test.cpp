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

TEST(CommandLine, SimulateRunsAVirtualSpanAndWritesItsTrace) {
  QTemporaryDir folder;
  const QString trace = folder.filePath(QStringLiteral("trace.jsonl"));
  const Result result =
      run({QStringLiteral("simulate"), QStringLiteral("--data"), folder.path(),
           QStringLiteral("--start"), QStringLiteral("2026-12-06 10:00:00"),
           QStringLiteral("--for"), QStringLiteral("86400"), QStringLiteral("--trace"), trace});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_TRUE(QFile::exists(trace));
}

}  // namespace
