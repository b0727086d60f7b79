#include "tools/demo/demo_plan.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <set>

#include "base/values.h"

namespace vantora::platform::demo {
namespace {

const QString kFolder = QStringLiteral("/srv/demo");
// A Sunday afternoon, with milliseconds the plan must cut away. Made on first use, not at static
// initialisation, when the date helpers' own constants may not exist yet.
DateTime now() {
  return date_time::from_parts(2026, 12, 6, 14, 30, 0, 700);
}
DateTime now_second() {
  return date_time::from_parts(2026, 12, 6, 14, 30, 0);
}

std::vector<const RowSpec*> rows_of(const Plan& plan, const QString& table) {
  std::vector<const RowSpec*> rows;
  for (const RowSpec& row : plan.rows) {
    if (row.table == table) {
      rows.push_back(&row);
    }
  }
  return rows;
}

QVariant cell(const RowSpec& row, int ordinal) {
  for (const ports::CellValue& value : row.cells) {
    if (value.ordinal == ordinal) {
      return value.value;
    }
  }
  return {};
}

DateTime when(const RowSpec& row, int ordinal) {
  return cell(row, ordinal).value<DateTime>();
}

std::int64_t seconds_after_now(DateTime value) {
  return date_time::seconds_between(now_second(), value);
}

class DemoPlan : public ::testing::Test {
 protected:
  Timeline timeline_;
  Plan plan_ = plan_channel(kFolder, now(), timeline_);
};

TEST_F(DemoPlan, ShowsAreContiguousSegmentsAtTheirTimes) {
  const auto playlist = rows_of(plan_, QStringLiteral("playlist"));
  ASSERT_EQ(playlist.size(), 5u);
  const struct {
    std::int64_t start_s;
    bool show_start;
    bool show_end;
  } expected[] = {
      {timeline_.first_show_s, true, false},
      {timeline_.first_show_s + timeline_.segment_s, false, false},
      {timeline_.first_show_s + 2 * timeline_.segment_s, false, true},
      {timeline_.second_show_s(), true, false},
      {timeline_.second_show_s() + timeline_.segment_s, false, true},
  };
  for (std::size_t i = 0; i < playlist.size(); ++i) {
    const RowSpec& row = *playlist[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(seconds_after_now(when(row, 0)), expected[i].start_s);
    EXPECT_EQ(date_time::seconds_between(when(row, 0), when(row, 1)), timeline_.segment_s);
    EXPECT_EQ(cell(row, 4).toInt(), timeline_.segment_s);
    EXPECT_EQ(values::is_true(cell(row, 14)), expected[i].show_start);
    EXPECT_EQ(values::is_true(cell(row, 15)), expected[i].show_end);
  }
  // The first segment has its own picture placement and the channel logo over it.
  EXPECT_EQ(cell(*playlist[0], 9).toInt(), 60);
  EXPECT_EQ(cell(*playlist[0], 10).toInt(), 480);
  EXPECT_TRUE(cell(*playlist[0], 18).toString().endsWith(QStringLiteral(".png")));
  EXPECT_EQ(cell(*playlist[1], 18).toString(), QStringLiteral("CLOCK"));
  EXPECT_TRUE(cell(*playlist[3], 18).toString().startsWith(QStringLiteral("NUM")));
  // The first show starts after the player's start-up, with room for filler first.
  EXPECT_GT(timeline_.first_show_s, 60);
  EXPECT_LT(timeline_.first_show_s + 3 * timeline_.segment_s, timeline_.second_show_s());
}

TEST_F(DemoPlan, BreakSlotsFallInsideTheFirstShowAndMatchTheirItemsToTheSecond) {
  const auto slots = rows_of(plan_, QStringLiteral("Slot_adv"));
  const auto items = rows_of(plan_, QStringLiteral("adv"));
  ASSERT_EQ(slots.size(), 2u);
  const DateTime first_show = date_time::add_seconds(now_second(), timeline_.first_show_s);
  const DateTime first_show_end = date_time::add_seconds(first_show, 3 * timeline_.segment_s);
  const DateTime today = date_time::date_part(now());
  for (const RowSpec* slot : slots) {
    const DateTime slot_time = when(*slot, 1);
    EXPECT_EQ(date_time::date_part(slot_time).value, 0.0) << "a slot holds a time of day only";
    const DateTime slot_today(today.value + slot_time.value);
    EXPECT_GT(slot_today, first_show);
    EXPECT_LT(slot_today, first_show_end);
    int valid = 0;
    for (const RowSpec* item : items) {
      if (when(*item, 1) == slot_time && when(*item, 3) <= today && when(*item, 4) >= today) {
        ++valid;
      }
    }
    EXPECT_GE(valid, 1) << "slot kind " << cell(*slot, 3).toInt();
  }
  // An ad break has two ads valid today and one expired; a news break names a folder.
  int expired = 0;
  for (const RowSpec* item : items) {
    if (when(*item, 4) < today) {
      ++expired;
    }
  }
  EXPECT_EQ(expired, 1);
}

TEST_F(DemoPlan, FillerLogoAndNewsRowsHoldNow) {
  const auto filler = rows_of(plan_, QStringLiteral("filler"));
  ASSERT_EQ(filler.size(), 2u);
  const DateTime now_time = date_time::time_of_day(now_second());
  EXPECT_LE(when(*filler[0], 1), now_time);
  EXPECT_GT(when(*filler[0], 2), now_time);
  EXPECT_EQ(cell(*filler[0], 4).toInt(), 1) << "6 December 2026 is a Sunday";
  EXPECT_EQ(cell(*filler[1], 4).toInt(), 0);
  EXPECT_EQ(when(*filler[0], 2), when(*filler[1], 1)) << "the second daypart follows the first";

  const auto logos = rows_of(plan_, QStringLiteral("logo"));
  ASSERT_EQ(logos.size(), 2u);
  EXPECT_LE(when(*logos[0], 1), now_second());
  EXPECT_GE(when(*logos[0], 2), now_second());
  EXPECT_GT(when(*logos[1], 1), when(*logos[0], 2));

  const auto news = rows_of(plan_, QStringLiteral("News"));
  ASSERT_EQ(news.size(), 1u);
  EXPECT_EQ(date_time::seconds_between(date_time::time_of_day(now_second()), when(*news[0], 1)),
            timeline_.first_show_s + timeline_.daily_news_after_s);
}

TEST_F(DemoPlan, EveryPathTheScheduleNamesIsGeneratedUnderTheFolder) {
  std::set<QString> files;
  for (const ClipSpec& clip : plan_.clips) {
    files.insert(clip.path);
    EXPECT_GT(clip.seconds, 0);
  }
  for (const PictureSpec& picture : plan_.pictures) {
    files.insert(picture.path);
  }
  const std::set<QString> folders(plan_.folders.begin(), plan_.folders.end());
  const auto has_files = [&files](const QString& folder) {
    return std::any_of(files.begin(), files.end(),
                       [&folder](const QString& file) { return QFileInfo(file).path() == folder; });
  };
  const struct {
    const char* table;
    int ordinal;
    bool folder;
  } references[] = {
      {"playlist", 2, false},
      {"logo", 0, false},
      {"filler", 0, true},
      {"News", 2, true},
  };
  for (const auto& reference : references) {
    for (const RowSpec* row : rows_of(plan_, QString::fromLatin1(reference.table))) {
      const QString path = cell(*row, reference.ordinal).toString();
      SCOPED_TRACE(path.toStdString());
      EXPECT_TRUE(path.startsWith(kFolder + QLatin1Char('/')));
      if (reference.folder) {
        EXPECT_TRUE(folders.count(path) == 1 && has_files(path));
      } else {
        EXPECT_EQ(files.count(path), 1u);
      }
    }
  }
  for (const RowSpec* item : rows_of(plan_, QStringLiteral("adv"))) {
    const QString path = cell(*item, 5).toString();
    EXPECT_TRUE(files.count(path) == 1 || (folders.count(path) == 1 && has_files(path)))
        << path.toStdString();
  }
  for (const ports::CellValue& setting : plan_.player_ini) {
    if (setting.ordinal == 1 || setting.ordinal == 9) {
      EXPECT_TRUE(has_files(setting.value.toString())) << setting.value.toString().toStdString();
    }
  }
}

}  // namespace
}  // namespace vantora::platform::demo
