#include <gtest/gtest.h>

#include "base/errors.h"
#include "core/ads/ad_fetch.h"
#include "core/ads/slot_search.h"
#include "core/news/news_fetch.h"
#include "core/shell/file_lists.h"
#include "support/player_fixture.h"

namespace vantora {
namespace {

using testing::PlayerFixture;

constexpr int kFileName = 2;

class SlotSearchTest : public PlayerFixture {
 protected:
  // A movie segment ending `remaining_s` from now, as the search sees it.
  void play_movie(int end_offset_s, double position_s) {
    player_->state.filler.FillerMode = kFalse;
    player_->state.row.EndOffset = end_offset_s;
    position_->position_s = position_s;
  }
  Ad ad_at(const QVariant& time, const QString& path, int priority = 0) {
    return Ad{time, priority, date(today()), date(today()), path};
  }
};

// Slots exactly at now (10:00) or at the media end (10:20) lie outside the window.
TEST_F(SlotSearchTest, FirstSlotInsideTheWindowWithAdsIsPrepared) {
  struct Case {
    const char* name;
    std::vector<int> ad_minutes;  // ads at 10:mm
    QString expected_file;        // empty: nothing prepared
    int expected_slot_minute;
  };
  const Case cases[] = {
      {"only the later slot has ads", {15}, "/ads/10-15.mpg", 15},
      {"the earlier slot wins", {5, 15}, "/ads/10-05.mpg", 5},
      {"ads only at now and at the media end", {0, 20}, QString(), 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_tables();
    add_slot(tod(9, 50), 0);
    for (const int minute : {20, 0, 5, 15}) {
      add_slot(tod(10, minute), 0);
    }
    for (const int minute : c.ad_minutes) {
      add_ad(
          ad_at(tod(10, minute), QStringLiteral("/ads/10-%1.mpg").arg(minute, 2, 10, QChar('0'))));
    }
    reopen();
    play_movie(1200, 0.0);  // ends 10:20:00
    AD_Slot_Search(*player_);
    EXPECT_EQ(ad_temp_files(), c.expected_file.isEmpty() ? std::vector<QString>{}
                                                         : std::vector<QString>{c.expected_file});
    EXPECT_EQ(player_->state.breaks.SlotFilled, to_bool16(!c.expected_file.isEmpty()));
    EXPECT_EQ(player_->state.breaks.SlotTime, at(10, c.expected_slot_minute));
    EXPECT_EQ(player_->state.breaks.SearchTime, at(10, 0));
    EXPECT_EQ(date_time::to_linear_ms(player_->state.breaks.MediaEndTime),
              date_time::to_linear_ms(at(10, 20)));
  }
}

TEST_F(SlotSearchTest, WindowEndsWhereTheFillerClipEnds) {
  // A 300 s filler clip from its start: 10:04:59 is inside, 10:05:00 is the end itself.
  add_slot(tod(10, 4, 59), 0);
  add_slot(tod(10, 5), 0);
  add_ad(ad_at(tod(10, 5), "/ads/late.mpg"));
  add_ad(ad_at(tod(10, 4, 59), "/ads/inside.mpg"));
  reopen();
  player_->state.filler.FillerMode = kTrue;
  player_->state.filler.FillerLength = 300;
  player_->state.row.EndOffset = 5000;  // not the filler's
  position_->position_s = 0.0;
  AD_Slot_Search(*player_);
  EXPECT_EQ(date_time::to_linear_ms(player_->state.breaks.MediaEndTime),
            date_time::to_linear_ms(at(10, 5)));
  EXPECT_EQ(ad_temp_files(), std::vector<QString>{"/ads/inside.mpg"});
}

TEST_F(SlotSearchTest, NewsSlotFillsFromTheFolderAndNotAsAnAd) {
  files_.add_files("/news/noon", {"b.mpg", "a.mpg", "C.mpg"});
  add_slot(tod(10, 5), 1);
  Ad item = ad_at(tod(10, 5), "/news/noon");
  item.duration = 45;
  add_ad(item);
  reopen();
  play_movie(1200, 0.0);
  AD_Slot_Search(*player_);
  // As an ad the folder itself would be the one row queued.
  EXPECT_EQ(ad_temp_files(),
            (std::vector<QString>{"/news/noon/a.mpg", "/news/noon/b.mpg", "/news/noon/C.mpg"}));
  EXPECT_EQ(player_->state.breaks.SlotFilled, kTrue);
}

TEST_F(SlotSearchTest, PreviousBreakIsEmptiedAndAnEmptySearchLeavesNothing) {
  add_slot(tod(10, 5), 0);
  for (const int priority : {1, 2, 3}) {
    add_ad(ad_at(tod(10, 5), QStringLiteral("/ads/%1.mpg").arg(priority), priority));
  }
  reopen();
  play_movie(1200, 0.0);
  AD_Slot_Search(*player_);
  ASSERT_EQ(ad_temp_files().size(), 3u);
  play_movie(120, 0.0);  // now the window closes at 10:02
  AD_Slot_Search(*player_);
  EXPECT_TRUE(ad_temp_files().empty());
  EXPECT_EQ(tool_value("SELECT count(*) FROM AD_Temp").toInt(), 0);
  EXPECT_EQ(player_->state.breaks.SlotFilled, kFalse);
}

TEST_F(SlotSearchTest, NoMediaPositionIsLoggedAndTheSearchGoesOn) {
  add_slot(tod(10, 5), 0);
  add_ad(ad_at(tod(10, 5), "/ads/a.mpg"));
  reopen();
  player_->state.graph.m_objMediaPosition.reset();
  player_->state.breaks.MediaEndTime = at(10, 10);  // left from the last search
  AD_Slot_Search(*player_);
  EXPECT_EQ(logged_errors(), std::vector<std::int32_t>{err::kObjectVariableNotSet});
  EXPECT_EQ(ad_temp_files(), std::vector<QString>{"/ads/a.mpg"});
}

class FetchAdsTest : public SlotSearchTest {
 protected:
  void fetch_at(DateTime slot) {
    player_->state.breaks.SlotTime = slot;
    FetchAds(*player_);
  }
};

TEST_F(FetchAdsTest, SelectsByTimeToTheSecondAndByWholeValidityDays) {
  const DateTime yesterday = date_time::from_parts(2026, 12, 5);
  const DateTime tomorrow = date_time::from_parts(2026, 12, 7);
  struct Case {
    const char* name;
    QVariant time;
    QVariant first_date;
    QVariant last_date;
    bool fetched;
  };
  const Case cases[] = {
      {"valid today only", tod(10, 0), date(today()), date(today()), true},
      {"dates carry times of day", tod(10, 0), date(at(23, 0)), date(at(0, 1)), true},
      {"ended yesterday", tod(10, 0), date(yesterday), date(yesterday), false},
      {"starts tomorrow", tod(10, 0), date(tomorrow), date(tomorrow), false},
      {"first after last", tod(10, 0), date(tomorrow), date(yesterday), false},
      {"one second early", tod(9, 59, 59), date(today()), date(today()), false},
      {"one second late", tod(10, 0, 1), date(today()), date(today()), false},
      {"half a second late", tod(10, 0, 0, 500), date(today()), date(today()), true},
      {"time with a date part", date(at(10, 0)), date(today()), date(today()), false},
      {"no first date", tod(10, 0), QVariant(), date(today()), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_tables();
    add_ad(Ad{c.time, 0, c.first_date, c.last_date, "/ads/x.mpg"});
    reopen();
    player_->state.breaks.SlotFilled = kFalse;
    fetch_at(at(10, 0));
    EXPECT_EQ(ad_temp_files().size(), c.fetched ? 1u : 0u);
    EXPECT_EQ(player_->state.breaks.SlotFilled, to_bool16(c.fetched));
  }
}

TEST_F(FetchAdsTest, AppendsInPriorityOrderWithTheFixedColumns) {
  for (const int priority : {2, 1, 3}) {
    Ad ad = ad_at(tod(10, 0), QStringLiteral("/ads/p%1.mpg").arg(priority), priority);
    ad.duration = 15 * priority;
    add_ad(ad);
  }
  add_ad(ad_at(tod(11, 0), "/ads/other-slot.mpg", 0));
  reopen();
  fetch_at(at(10, 0));
  EXPECT_EQ(ad_temp_files(), (std::vector<QString>{"/ads/p1.mpg", "/ads/p2.mpg", "/ads/p3.mpg"}));
  for (const auto& row : ad_temp_rows()) {
    const DateTime start = values::to_date_time(row[0]);
    EXPECT_EQ(start, at(10, 0));
    EXPECT_EQ(date_time::seconds_between(start, values::to_date_time(row[1])),
              values::to_int32(row[4]));
  }
  EXPECT_TRUE(data_->rsAdv.eof());
}

class FetchNewsTest : public SlotSearchTest {
 protected:
  void fetch_at(DateTime slot) {
    player_->state.breaks.SlotTime = slot;
    FetchNews(*player_);
  }
};

TEST_F(FetchNewsTest, MatchesWithinASecondOnTheReferenceDay) {
  files_.add_files("/news/item", {"clip.mpg"});
  struct Case {
    const char* name;
    QVariant time;
    DateTime slot;
    bool fetched;
  };
  const Case cases[] = {
      {"same second", tod(10, 0), at(10, 0), true},
      {"half a second early", tod(9, 59, 59, 500), at(10, 0), true},
      {"one second early", tod(9, 59, 59), at(10, 0), false},
      {"one second late", tod(10, 0, 1), at(10, 0), false},
      {"date part ignored", date(date_time::from_parts(2020, 1, 1, 10)), at(10, 0), true},
      {"no wrap past midnight", tod(0, 0), at(23, 59, 59), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_tables();
    add_ad(Ad{c.time, 0, QVariant(), QVariant(), "/news/item"});
    reopen();
    player_->state.breaks.SlotFilled = kFalse;
    fetch_at(c.slot);
    const auto rows = ad_temp_rows();
    ASSERT_EQ(rows.size(), c.fetched ? 1u : 0u);
    if (c.fetched) {  // queued today, whatever date the column carries
      EXPECT_EQ(date_time::date_part(values::to_date_time(rows[0][0])), today());
    }
  }
}

TEST_F(FetchNewsTest, OneRowPerFileInListOrderWithTheNewsFlags) {
  files_.add_files("/news/item", {"two.mpg", "One.mpg", "three.mpg", ".hidden"});
  Ad item{tod(10, 0), 0, QVariant(), QVariant(), "/news/item"};
  item.duration = 40;
  item.caption = "Evening news";
  add_ad(item);
  reopen();
  fetch_at(at(10, 0));
  EXPECT_EQ(ad_temp_files(), (std::vector<QString>{"/news/item/One.mpg", "/news/item/three.mpg",
                                                   "/news/item/two.mpg"}));
  for (const auto& row : ad_temp_rows()) {
    EXPECT_EQ(values::to_date_time(row[0]), at(10, 0));
    EXPECT_EQ(date_time::seconds_between(at(10, 0), values::to_date_time(row[1])), 40);
    EXPECT_EQ(values::to_int32(row[4]), 40);
    EXPECT_EQ(values::to_text(row[5]), "Evening news");
    EXPECT_TRUE(values::is_true(row[11]));
    EXPECT_TRUE(values::is_true(row[12]));
  }
  EXPECT_EQ(player_->state.breaks.SlotFilled, kTrue);
}

TEST_F(FetchNewsTest, EmptyOrUnlistableFolderPassesToTheNextItem) {
  files_.add_folder("/news/empty");
  files_.add_files("/news/second", {"s.mpg"});
  files_.add_files("/emergency", {"urgent.mpg"});
  struct Case {
    const char* name;
    QString first_folder;
    bool second_item;
    std::vector<std::int32_t> errors;
  };
  const Case cases[] = {
      {"empty folder", "/news/empty", true, {}},
      {"missing folder", "/news/missing", true, {err::kPathNotFound}},
      {"missing folder alone", "/news/missing", false, {err::kPathNotFound}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_tables();
    logged_.clear();
    player_->errors.reset();
    add_ad(Ad{tod(10, 0), 1, QVariant(), QVariant(), c.first_folder});
    if (c.second_item) {
      add_ad(Ad{tod(10, 0), 2, QVariant(), QVariant(), "/news/second"});
    }
    reopen();
    // File1 last listed the emergency folder: none of its clips may pass for this item's.
    file_lists::set_path(player_->form.File1, files_, "/emergency");
    player_->state.breaks.SlotFilled = kFalse;
    fetch_at(at(10, 0));
    EXPECT_EQ(ad_temp_files(),
              c.second_item ? std::vector<QString>{"/news/second/s.mpg"} : std::vector<QString>{});
    EXPECT_EQ(player_->state.breaks.SlotFilled, to_bool16(c.second_item));
    EXPECT_EQ(logged_errors(), c.errors);
  }
}

}  // namespace
}  // namespace vantora
