#include "core/news/get_news_time.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "support/player_fixture.h"

namespace vantora {
namespace {

class GetNewsTimeTest : public testing::PlayerFixture {
 protected:
  // Rows of (time of day, folder name), stored in this order.
  void news_rows(const std::vector<std::pair<const char*, const char*>>& rows) {
    for (const auto& [time, folder] : rows) {
      tool_exec(QStringLiteral("INSERT INTO News (news_name, news_time, folder_path) VALUES "
                               "('item', '%1', '%2')")
                    .arg(QString::fromLatin1(time), folder_.filePath(QString::fromLatin1(folder))));
    }
    ASSERT_NO_THROW(data_->rsNews.open());
  }
};

TEST_F(GetNewsTimeTest, FindsTheFirstRowInTableOrderBetweenNowAndMidnightThenAfterMidnight) {
  news_folder(QStringLiteral("noon"), {QStringLiteral("b.mp4"), QStringLiteral("a.mp4")});
  news_folder(QStringLiteral("evening"), {QStringLiteral("c.mp4")});
  news_folder(QStringLiteral("night"), {QStringLiteral("d.mp4")});
  using Rows = std::vector<std::pair<const char*, const char*>>;
  const Rows noon_evening{{"12:00:00", "noon"}, {"18:00:00", "evening"}};
  const Rows evening_noon{noon_evening[1], noon_evening[0]};
  const Rows night{{"00:05:00", "night"}};
  const Rows night_late{night[0], {"23:55:00", "evening"}};
  const struct {
    const char* what;
    Rows rows;
    DateTime now;
    double seconds_left;
    const char* found;  // null: nothing found
  } cases[] = {
      {"12:00 then 18:00 at 11:00", noon_evening, at(11, 0, 0, 400), 600, "noon"},
      {"18:00 then 12:00 at 11:00", evening_noon, at(11, 0, 0, 400), 600, "evening"},
      {"at the current second", {noon_evening[0]}, at(12, 0, 0, 400), 1, "noon"},
      {"a second past", {noon_evening[0]}, at(12, 0, 1, 400), 36000, nullptr},
      {"23:50 with 20 minutes left", night, at(23, 50, 0, 400), 1200, "night"},
      {"past midnight only when none is left today", night_late, at(23, 50, 0, 400), 1200,
       "evening"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tool_exec(QStringLiteral("DELETE FROM News"));
    if (data_->rsNews.is_open()) {
      data_->rsNews.close();
    }
    news_rows(c.rows);
    start_player(c.now);
    state().news.NewsFound = kTrue;
    GetNewsTime(*player_, c.seconds_left);
    EXPECT_TRUE(logged_.empty());
    if (c.found == nullptr) {
      EXPECT_EQ(state().news.NewsFound, kFalse);
      continue;
    }
    ASSERT_EQ(state().news.NewsFound, kTrue);
    EXPECT_EQ(state().news.NewsFolder, folder_.filePath(QString::fromLatin1(c.found)));
    EXPECT_EQ(date_time::date_part(state().news.NewsTime).value, kReferenceDaySerial);
  }
}

TEST_F(GetNewsTimeTest, ListsTheFoundFolderByNameAndLogsAFolderThatIsGone) {
  news_folder(QStringLiteral("noon"), {QStringLiteral("B.mp4"), QStringLiteral("a.mp4")});
  news_rows({{"12:00:00", "noon"}, {"13:00:00", "gone"}});
  start_player(date_time::from_parts(2026, 12, 6, 11, 0, 0));
  state().news.NewsIndex = 2;
  GetNewsTime(*player_, 60);
  EXPECT_EQ(player_->form.NewsFile.items(), (QStringList{"a.mp4", "B.mp4"}));
  EXPECT_EQ(state().news.NewsCount, 2);
  EXPECT_EQ(state().news.NewsIndex, 0);

  runtime_->run_for_ms(2 * 3600 * 1000);  // 13:00
  GetNewsTime(*player_, 60);
  // NewsFile still lists the noon folder: the news must not play its clips for this item.
  EXPECT_EQ(state().news.NewsFound, kFalse);
  ASSERT_EQ(logged_.size(), 1u);
  EXPECT_EQ(logged_[0].number, err::kPathNotFound);
  EXPECT_EQ(logged_[0].procedure, QStringLiteral("GetNewsTime()"));
}

}  // namespace
}  // namespace vantora
