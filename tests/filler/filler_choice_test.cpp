#include "core/filler/filler_choice.h"

#include <gtest/gtest.h>

#include "core/filler/filler.h"
#include "core/shell/file_lists.h"
#include "support/player_fixture.h"

namespace vantora::testing {
namespace {

struct FillerRow {
  const char* folder;
  const char* from;
  const char* until;
  int day_of_week;
};

class FillerChoiceTest : public PlayerFixture {
 protected:
  std::optional<QString> choose_at(DateTime now, std::initializer_list<FillerRow> rows) {
    tool_exec(QStringLiteral("DELETE FROM filler"));
    for (const FillerRow& row : rows) {
      add_filler_row(QLatin1String(row.folder), QLatin1String(row.from), QLatin1String(row.until),
                     row.day_of_week);
    }
    if (!data_->rsfiller.is_open()) {
      data_->rsfiller.open();
      data_->rsfiller.set_sort(QStringLiteral("start_time"));
    }
    Player& p = player(now);
    Procedure proc(p.errors, QStringLiteral("Run_Filler()"));
    return filler::choose_folder(p, proc);
  }
};

// 6 December 2026 is a Sunday: day number 1.
TEST_F(FillerChoiceTest, FolderByWindowAndWeekday) {
  struct Case {
    const char* name;
    DateTime now;
    std::initializer_list<FillerRow> rows;
    const char* folder;  // null: no row applies
  };
  const FillerRow late{"late", "22:00:00", "02:00:00", 1};
  const FillerRow any9{"any", "09:00:00", "20:00:00", 0};
  const FillerRow monday8{"monday", "08:00:00", "20:00:00", 2};
  const FillerRow later{"later", "09:00:00", "20:00:00", 1};
  const FillerRow earlier{"earlier", "08:00:00", "20:00:00", 1};
  const Case cases[] = {
      {"a 22:00-02:00 row holds from its start exactly", at(22, 0), {late}, "late"},
      {"the window's end is exclusive", at(10, 0), {{"day", "08:00:00", "10:00:00", 1}}, nullptr},
      {"a day-0 row when no row of today holds", at(10, 0), {monday8, any9}, "any"},
      {"rows are tried in start_time order", at(10, 0), {later, earlier}, "earlier"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<QString> folder = choose_at(c.now, c.rows);
    if (c.folder == nullptr) {
      EXPECT_FALSE(folder.has_value()) << qPrintable(folder.value_or(QString()));
    } else {
      EXPECT_EQ(folder.value_or(QStringLiteral("(none)")), QLatin1String(c.folder));
    }
  }
}

// With no clip to play, File1 must not still hold the news clips it listed last, and both timers
// run on through the stretch: the filler timer for the show, the ad timer for the clipboard.
TEST_F(FillerChoiceTest, NoClipToPlayLeavesNothingFromTheLastListing) {
  struct Case {
    const char* name;
    const char* row_folder;  // null: no filler row
    const char* default_folder;
  };
  const Case cases[] = {
      {"neither the row's nor the default folder can be listed", "/gone/row", "/gone/default"},
      {"no row applies and the default folder cannot be listed", nullptr, "/gone/default"},
      {"the default folder is empty", nullptr, "/filler/empty"},
  };
  files_.add_folder(QStringLiteral("/filler/empty"));
  const QString news = news_folder(QStringLiteral("news"), {QStringLiteral("n1.mp4")});
  manifest_.add(news + QStringLiteral("/n1.mp4"), 30);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.row_folder != nullptr) {
      choose_at(at(10, 0), {{c.row_folder, "06:00:00", "12:00:00", 0}});
    } else {
      choose_at(at(10, 0), {});
    }
    Player& p = *player_;
    if (!data_->rsplaylist.is_open()) {
      open_playlist();
    }
    p.state.filler.FillerFolder = QLatin1String(c.default_folder);
    file_lists::set_path(p.form.File1, files_, news);

    Run_Filler(p);
    EXPECT_TRUE(p.state.filler.ClipFile.isEmpty()) << qPrintable(p.state.filler.ClipFile);
    EXPECT_EQ(p.form.File1.ListCount(), 0);
    EXPECT_TRUE(p.form.FillerTimer.Enabled);
    EXPECT_TRUE(p.form.AdTimer.Enabled);
  }
}

}  // namespace
}  // namespace vantora::testing
