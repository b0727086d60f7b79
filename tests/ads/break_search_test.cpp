#include <gtest/gtest.h>

#include <QTime>

#include "base/errors.h"
#include "core/ads/ad_fetch.h"
#include "core/ads/slot_search.h"
#include "core/news/news_fetch.h"
#include "core/shell/file_lists.h"
#include "support/player_fixture.h"

namespace vantora {
namespace {

using testing::PlayerFixture;

// The break search's window edges and the item selection; the scenarios play what it prepares.
class BreakSearchTest : public PlayerFixture {
 protected:
  Ad ad_at(const QVariant& time, const QString& path, int priority = 0) {
    return Ad{time, priority, date(today()), date(today()), path};
  }
  // A fetch for the slot at `slot` over the rows as written.
  void fetch_for(DateTime slot, void (*fetch)(Player&)) {
    reopen();
    player_->state.breaks.SlotFilled = kFalse;
    player_->state.breaks.SlotTime = slot;
    fetch(*player_);
  }
};

// Now is 10:00; the clip ends at 10:20 (a movie) or 10:05 (a 300 s filler clip). Slots exactly at
// now or at the clip's end lie outside the window; the first slot inside with items wins.
TEST_F(BreakSearchTest, FirstSlotStrictlyInsideTheWindowWithItemsIsPrepared) {
  files_.add_files("/n", {"b.mpg", "a.mpg", "C.mpg"});
  struct Case {
    const char* name;
    bool filler;
    DateTime slot;
    std::vector<QString> items;  // "slot time, ad path or news folder"
    std::vector<QString> expected;
  };
  const Case cases[] = {
      {"earlier slot wins", false, at(10, 5), {"10:15:00 /a/15", "10:05:00 /a/05"}, {"/a/05"}},
      {"items only at now and at the end", false, at(10, 20), {"10:00:00 /a/0", "10:20:00 /a"}, {}},
      {"a filler clip ends it", true, at(10, 4, 59), {"10:05:00 /a", "10:04:59 /a/in"}, {"/a/in"}},
      {"a news folder", false, at(10, 5), {"10:05:00 /n"}, {"/n/a.mpg", "/n/b.mpg", "/n/C.mpg"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_tables();
    for (const QString& item : c.items) {
      const QTime t = QTime::fromString(item.section(u' ', 0, 0), "HH:mm:ss");
      const QString path = item.section(u' ', 1);
      add_slot(tod(t.hour(), t.minute(), t.second()), path == "/n" ? 1 : 0);
      add_ad(ad_at(tod(t.hour(), t.minute(), t.second()), path));
    }
    reopen();
    player_->state.filler.FillerMode = to_bool16(c.filler);
    player_->state.filler.FillerLength = 300;
    player_->state.row.EndOffset = 1200;
    AD_Slot_Search(*player_);
    EXPECT_EQ(ad_temp_files(), c.expected);
    EXPECT_EQ(player_->state.breaks.SlotFilled, to_bool16(!c.expected.empty()));
    if (!c.expected.empty()) {
      EXPECT_EQ(player_->state.breaks.SlotTime, c.slot);
    }
  }
  // The news clips (the last case) hide the caption, count as ads and last the row's duration.
  for (const auto& row : ad_temp_rows()) {
    EXPECT_TRUE(values::is_true(row[11]) && values::is_true(row[12]));
    EXPECT_EQ(
        date_time::seconds_between(values::to_date_time(row[0]), values::to_date_time(row[1])),
        values::to_int32(row[4]));
  }
  // A search that finds nothing leaves no item of the last break behind.
  player_->state.row.EndOffset = 120;
  AD_Slot_Search(*player_);
  EXPECT_EQ(tool_value("SELECT count(*) FROM AD_Temp").toInt(), 0);
  // Without a play position the search logs it and goes on.
  player_->state.graph.m_objMediaPosition.reset();
  AD_Slot_Search(*player_);
  EXPECT_EQ(logged_errors(), std::vector<std::int32_t>{err::kObjectVariableNotSet});
}

TEST_F(BreakSearchTest, AdsByTimeToTheSecondAndWholeValidityDaysNewsByTimeOfDay) {
  const DateTime yesterday = date_time::from_parts(2026, 12, 5);
  const DateTime tomorrow = date_time::from_parts(2026, 12, 7);
  struct Case {
    const char* name;
    bool news;
    QVariant time;
    QVariant first_date;
    QVariant last_date;
    bool fetched;
    DateTime slot = at(10, 0);
  };
  const Case cases[] = {
      {"valid today only", false, tod(10, 0), date(today()), date(today()), true},
      {"dates carry times of day", false, tod(10, 0), date(at(23, 0)), date(at(0, 1)), true},
      {"ended yesterday", false, tod(10, 0), date(yesterday), date(yesterday), false},
      {"starts tomorrow", false, tod(10, 0), date(tomorrow), date(tomorrow), false},
      {"one second early", false, tod(9, 59, 59), date(today()), date(today()), false},
      {"one second late", false, tod(10, 0, 1), date(today()), date(today()), false},
      {"half a second late", false, tod(10, 0, 0, 500), date(today()), date(today()), true},
      {"an ad time with a date part", false, date(at(10, 0)), date(today()), date(today()), false},
      {"no first date", false, tod(10, 0), QVariant(), date(today()), false},
      {"news half a second early", true, tod(9, 59, 59, 500), {}, {}, true},
      {"news one second early", true, tod(9, 59, 59), {}, {}, false},
      // Queued at today's date: a row dated 2020 would never fall due.
      {"news time with a date part",
       true,
       date(date_time::from_parts(2020, 1, 1, 10)),
       {},
       {},
       true},
      {"news does not wrap past midnight", true, tod(0, 0), {}, {}, false, at(23, 59, 59)},
  };
  files_.add_files("/news/item", {"clip.mpg"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_tables();
    add_ad(Ad{c.time, 0, c.first_date, c.last_date, c.news ? "/news/item" : "/ads/x.mpg"});
    fetch_for(c.slot, c.news ? FetchNews : FetchAds);
    const auto rows = ad_temp_rows();
    ASSERT_EQ(rows.size(), c.fetched ? 1u : 0u);
    EXPECT_EQ(player_->state.breaks.SlotFilled, to_bool16(c.fetched));
    if (c.fetched) {
      EXPECT_EQ(date_time::date_part(values::to_date_time(rows[0][0])), today());
    }
  }
}

// File1 last listed the emergency folder: none of its clips may pass for a news item's.
TEST_F(BreakSearchTest, AnEmptyOrUnlistableNewsFolderPassesToTheNextItem) {
  files_.add_folder("/news/empty");
  files_.add_files("/news/second", {"s.mpg"});
  files_.add_files("/emergency", {"urgent.mpg"});
  struct Case {
    const char* first_folder;
    bool second_item;
    std::vector<std::int32_t> errors;
  };
  const Case cases[] = {{"/news/empty", true, {}},
                        {"/news/missing", true, {err::kPathNotFound}},
                        {"/news/missing", false, {err::kPathNotFound}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first_folder);
    reset_tables();
    logged_.clear();
    player_->errors.reset();
    add_ad(Ad{tod(10, 0), 1, QVariant(), QVariant(), c.first_folder});
    if (c.second_item) {
      add_ad(Ad{tod(10, 0), 2, QVariant(), QVariant(), "/news/second"});
    }
    file_lists::set_path(player_->form.File1, files_, "/emergency");
    fetch_for(at(10, 0), FetchNews);
    EXPECT_EQ(ad_temp_files(),
              c.second_item ? std::vector<QString>{"/news/second/s.mpg"} : std::vector<QString>{});
    EXPECT_EQ(logged_errors(), c.errors);
  }
}

}  // namespace
}  // namespace vantora
