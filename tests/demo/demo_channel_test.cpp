#include "tools/demo/demo_channel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "base/errors.h"
#include "base/values.h"
#include "core/database/data_environment.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "tools/demo/media_maker.h"

namespace vantora::platform::demo {
namespace {

double probe_duration_s(const QString& file) {
  QProcess probe;
  probe.start(QStringLiteral("ffprobe"),
              {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
               QStringLiteral("format=duration"), QStringLiteral("-of"),
               QStringLiteral("default=noprint_wrappers=1:nokey=1"), file});
  probe.waitForFinished(30'000);
  return QString::fromUtf8(probe.readAllStandardOutput()).trimmed().toDouble();
}

QString read_text(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// One channel made for the whole suite: generating the media takes a few seconds.
class DemoChannel : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new QTemporaryDir;
    ChannelOptions options;
    options.folder = folder_->filePath(QStringLiteral("demo channel"));
    options.designer_program = QStringLiteral("/opt/stand in/designer");
    options.platform_lines = {QStringLiteral("audio=none")};
    int clock_reads = 0;
    // The clock moves on while the media are made: the schedule counts from the later reading.
    summary_ = new ChannelSummary(
        make_channel(options, [&clock_reads] { return clock_reads++ == 0 ? before() : now(); }));
  }
  static void TearDownTestSuite() {
    delete summary_;
    delete folder_;
  }

  static QString channel() { return folder_->filePath(QStringLiteral("demo channel")); }

  static DateTime before() { return date_time::from_parts(2026, 12, 6, 9, 59, 40); }
  static DateTime now() { return date_time::from_parts(2026, 12, 6, 10, 0, 0, 250); }
  static inline QTemporaryDir* folder_ = nullptr;
  static inline ChannelSummary* summary_ = nullptr;
};

TEST_F(DemoChannel, ThePlayerReadsTheScheduleRelativeToTheLaterClockReading) {
  db::DataEnvironment data(sqlite_store_factory());
  data.set_data_folder(channel());
  data.rsplaylist.open();
  data.rsplaylist.set_sort(QStringLiteral("seg_start_time"));
  ASSERT_EQ(data.rsplaylist.record_count(), 5);
  data.rsplaylist.move_first();
  const Timeline timeline;
  EXPECT_EQ(
      values::to_date_time(data.rsplaylist.field(0)),
      date_time::add_seconds(date_time::from_parts(2026, 12, 6, 10, 0, 0), timeline.first_show_s));
  EXPECT_TRUE(values::is_true(data.rsplaylist.field(14)));
  EXPECT_FALSE(values::is_true(data.rsplaylist.field(7))) << "not started";
  EXPECT_EQ(summary_->first_show, values::to_date_time(data.rsplaylist.field(0)));

  // Every segment's file is there and as long as its end offset says.
  for (; !data.rsplaylist.eof(); data.rsplaylist.move_next()) {
    const QString file = values::to_text(data.rsplaylist.field(2));
    ASSERT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    EXPECT_NEAR(probe_duration_s(file), values::to_double(data.rsplaylist.field(4)), 0.2);
  }

  data.rsPlayer_INI.open();
  data.rsPlayer_INI.move_first();
  EXPECT_EQ(values::to_text(data.rsPlayer_INI.field(8)), QString::fromLatin1(kDesignerDocument));
  EXPECT_EQ(values::to_int32(data.rsPlayer_INI.field(0)), 60) << "init-db's tolerance stays";
  EXPECT_FALSE(QDir(values::to_text(data.rsPlayer_INI.field(1))).isEmpty());
  EXPECT_FALSE(QDir(values::to_text(data.rsPlayer_INI.field(9))).isEmpty());

  data.rsAd_Slot.open();
  EXPECT_EQ(data.rsAd_Slot.record_count(), 2);
  data.rsLottery.open();
  EXPECT_EQ(data.rsLottery.record_count(), 1);
}

TEST_F(DemoChannel, ChannelIniNamesTheFolderThenTheDesignerAndThePlatformLines) {
  const QStringList lines =
      read_text(summary_->channel_ini).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], channel());
  EXPECT_EQ(lines[1], QStringLiteral("designer=\"/opt/stand in/designer\" \"") + channel() +
                          QStringLiteral("/designer-keys.log\""));
  EXPECT_EQ(lines[2], QStringLiteral("audio=none"));
  EXPECT_EQ(QProcess::splitCommand(lines[1].mid(9)),
            (QStringList{QStringLiteral("/opt/stand in/designer"), summary_->key_log}));
}

TEST_F(DemoChannel, AFolderWithAScheduleIsRefusedAndLeftAlone) {
  const QString schedule = QDir(channel()).filePath(kScheduleFileName);
  const QDateTime modified = QFileInfo(schedule).lastModified();
  ChannelOptions options;
  options.folder = channel();
  try {
    make_channel(options, [] { return now(); });
    ADD_FAILURE() << "a second channel in the same folder";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), err::kPathFileAccessError);
  }
  EXPECT_EQ(QFileInfo(schedule).lastModified(), modified);
}

TEST(MediaMaker, AFailingEncodeNamesTheFile) {
  MediaMaker maker;
  const ClipSpec clip{QStringLiteral("/nonexistent-folder/clip.mp4"), QStringLiteral("X"), 1,
                      Pattern::kAd};
  try {
    maker.make_clips({clip});
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), err::kPathFileAccessError);
    EXPECT_TRUE(error.description().contains(clip.path));
  }
}

TEST(CommandWord, QuotesOnlyWhatSplittingWouldBreak) {
  const struct {
    const char* word;
    const char* expected;
  } cases[] = {
      {"/usr/bin/stand-in", "/usr/bin/stand-in"},
      {"/opt/my tools/x", "\"/opt/my tools/x\""},
      {"/opt/say \"hi\"", "\"/opt/say \"\"\"hi\"\"\"\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(command_word(QString::fromLatin1(c.word)), QString::fromLatin1(c.expected));
    EXPECT_EQ(
        QProcess::splitCommand(command_word(QString::fromLatin1(c.word)) + QStringLiteral(" next")),
        (QStringList{QString::fromLatin1(c.word), QStringLiteral("next")}));
  }
}

}  // namespace
}  // namespace vantora::platform::demo
