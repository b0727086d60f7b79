#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Outcome {
  int exit_code;
  QString err;
};

Outcome play(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(VANTORA_PLAYER_BINARY), arguments);
  EXPECT_TRUE(process.waitForFinished(30'000));
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

TEST(ChannelCommand, AMissingChannelIniOrDataFolderEndsWithCode2) {
  QTemporaryDir dir;
  const QString ini = dir.filePath(QStringLiteral("channel.ini"));
  Outcome missing = play({QStringLiteral("--config"), ini});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_TRUE(missing.err.contains(ini)) << missing.err.toStdString();

  QFile file(ini);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("\"/no/such/folder\",x\n");
  file.close();
  Outcome no_folder = play({QStringLiteral("--config"), ini});
  EXPECT_EQ(no_folder.exit_code, 2);
  EXPECT_TRUE(no_folder.err.contains(QStringLiteral("/no/such/folder")))
      << no_folder.err.toStdString();
}

}  // namespace
