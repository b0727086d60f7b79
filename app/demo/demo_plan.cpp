#include "app/demo/demo_plan.h"

#include <QDir>
#include <QVariant>

#include "app/demo/schedule_rows.h"
#include "base/values.h"

namespace vantora::platform::demo {
namespace {

using ports::CellValue;

QVariant at(DateTime value) {
  return QVariant::fromValue(value);
}
QVariant yes(bool value) {
  return QVariant(static_cast<int>(to_bool16(value)));
}

// Builds the plan with every path under one folder.
class Planner {
 public:
  Planner(const QString& folder, DateTime now, const Timeline& timeline)
      : root_(QDir(folder).absolutePath()),
        now_(date_time::truncate_to_second(now)),
        today_(date_time::date_part(now_)),
        t_(timeline) {}

  Plan build() {
    plan_.key_log = path(QStringLiteral("designer-keys.log"));
    plan_.designer_document = QString::fromLatin1(kDesignerDocument);
    settings();
    shows();
    breaks();
    daily_news();
    filler();
    logos();
    emergency();
    return std::move(plan_);
  }

 private:
  QString path(const QString& relative) const { return root_ + QLatin1Char('/') + relative; }
  DateTime at_s(int seconds) const { return date_time::add_seconds(now_, seconds); }
  DateTime time_at_s(int seconds) const { return date_time::time_of_day(at_s(seconds)); }

  QString folder(const QString& relative) {
    plan_.folders.push_back(path(relative));
    return plan_.folders.back();
  }
  QString clip(const QString& folder_path, const QString& name, const QString& label, int seconds,
               Pattern pattern) {
    const QString file = folder_path + QLatin1Char('/') + name;
    plan_.clips.push_back({file, label, seconds, pattern});
    return file;
  }

  void settings() {
    const QString status = folder(QStringLiteral("status"));
    plan_.player_ini = {
        {1, QVariant(folder(QStringLiteral("filler")))},
        // The designer steps forward for the break's warning; a short one keeps the movie in view.
        {2, QVariant(5)},
        {3, QVariant(status + QStringLiteral("/caption.txt"))},
        {6, yes(true)},
        {7, yes(false)},
        {8, QVariant(plan_.designer_document)},
        {9, QVariant(path(QStringLiteral("emergency")))},
    };
  }

  void shows() {
    const QString movies = folder(QStringLiteral("movies"));
    const QString logo = logos_folder() + QStringLiteral("/channel-logo.png");
    // Each segment shows a different overlay and picture geometry: the first sits 60 px down,
    // 480 high, under the channel logo, so a screenshot shows the segment's own placement.
    const struct {
      int picture_top;
      int picture_height;
      QString logo_file;
      double logo_left;
      double logo_top;
    } first_show_looks[] = {
        {60, 480, logo, 380, 10},
        {0, 0, QStringLiteral("CLOCK"), 400, 20},
        {75, 450, QStringLiteral("NO"), 0, 0},
    };
    int offset_s = t_.first_show_s;
    for (int part = 1; part <= 3; ++part) {
      const auto& look = first_show_looks[part - 1];
      const QString label = QStringLiteral("MOVIE A  part %1/3").arg(part);
      Segment s;
      s.file = clip(movies, QStringLiteral("movie-a-part%1.mp4").arg(part), label, t_.segment_s,
                    Pattern::kMovie);
      s.caption = QStringLiteral("Now showing: Movie A");
      s.title = QStringLiteral("Movie A");
      s.start = at_s(offset_s);
      s.length_s = t_.segment_s;
      s.picture_top = look.picture_top;
      s.picture_height = look.picture_height;
      s.logo_file = look.logo_file;
      s.logo_left = look.logo_left;
      s.logo_top = look.logo_top;
      s.show_start = part == 1;
      s.show_end = part == 3;
      plan_.rows.push_back(playlist_row(s));
      offset_s += t_.segment_s;
    }
    offset_s = t_.second_show_s();
    for (int part = 1; part <= 2; ++part) {
      Segment s;
      s.file = clip(movies, QStringLiteral("movie-b-part%1.mp4").arg(part),
                    QStringLiteral("MOVIE B  part %1/2").arg(part), t_.segment_s, Pattern::kMovie);
      s.caption = QStringLiteral("Now showing: Movie B");
      s.title = QStringLiteral("Movie B");
      s.start = at_s(offset_s);
      s.length_s = t_.segment_s;
      // The lottery overlay on the first part, the channel logo on the second.
      s.logo_file = part == 1 ? QStringLiteral("NUM40317") : logo;
      s.logo_left = 380;
      s.logo_top = 10;
      s.show_start = part == 1;
      s.show_end = part == 2;
      plan_.rows.push_back(playlist_row(s));
      offset_s += t_.segment_s;
    }
  }

  void breaks() {
    const QString ads = folder(QStringLiteral("ads"));
    const DateTime ad_slot = time_at_s(t_.first_show_s + t_.ad_slot_after_s);
    const DateTime first_date = date_time::add_seconds(today_, -7.0 * kSecondsPerDay);
    const DateTime last_date = date_time::add_seconds(today_, 30.0 * kSecondsPerDay);
    const DateTime yesterday = date_time::add_seconds(today_, -1.0 * kSecondsPerDay);
    plan_.rows.push_back(slot_row(QStringLiteral("Ad break"), ad_slot, SlotKind::kAds));
    // Played by priority: the second ad first. The expired one is never fetched.
    const struct {
      const char* name;
      int seconds;
      int priority;
      bool expired;
    } items[] = {{"ad-one", 8, 2, false}, {"ad-two", 6, 1, false}, {"ad-expired", 5, 0, true}};
    for (const auto& item : items) {
      const QString name = QString::fromLatin1(item.name);
      const QString file =
          clip(ads, name + QStringLiteral(".mp4"), QStringLiteral("AD  ") + name.toUpper(),
               item.seconds, Pattern::kAd);
      adv_rows_.push_back(
          adv_row({name, ad_slot, QStringLiteral("Advertisement: ") + name,
                   item.expired ? date_time::add_seconds(yesterday, -86400.0) : first_date,
                   item.expired ? yesterday : last_date, file, QStringLiteral("ad"), item.seconds,
                   true, item.priority}));
    }

    const QString news_break = folder(QStringLiteral("news/break"));
    for (int part = 1; part <= 2; ++part) {
      clip(news_break, QStringLiteral("headline-%1.mp4").arg(part),
           QStringLiteral("NEWS BREAK  headline %1").arg(part), 5, Pattern::kNews);
    }
    const DateTime news_slot = time_at_s(t_.first_show_s + t_.news_slot_after_s);
    plan_.rows.push_back(slot_row(QStringLiteral("News break"), news_slot, SlotKind::kNews));
    adv_rows_.push_back(
        adv_row({QStringLiteral("headlines"), news_slot, QStringLiteral("The headlines"),
                 first_date, last_date, news_break, QStringLiteral("news"), 5, true, 1}));
    for (RowSpec& row : adv_rows_) {
      plan_.rows.push_back(std::move(row));
    }
  }

  void daily_news() {
    const QString daily = folder(QStringLiteral("news/daily"));
    for (int part = 1; part <= 2; ++part) {
      clip(daily, QStringLiteral("bulletin-%1.mp4").arg(part),
           QStringLiteral("DAILY NEWS  story %1").arg(part), 6, Pattern::kNews);
    }
    plan_.rows.push_back(news_row(QStringLiteral("Bulletin"),
                                  time_at_s(t_.first_show_s + t_.daily_news_after_s), daily));
  }

  void filler() {
    clip(path(QStringLiteral("filler")), QStringLiteral("default-1.mp4"),
         QStringLiteral("FILLER  default"), 10, Pattern::kFiller);
    // Two dayparts: today's weekday until the change, then an any-day row for the rest.
    const DateTime change = time_at_s(t_.first_show_s + t_.daypart_change_after_s);
    const struct {
      const char* folder;
      DateTime from;
      DateTime until;
      int day_of_week;
    } dayparts[] = {
        {"filler-daypart-1", time_at_s(-30 * 60), change, date_time::weekday(now_)},
        {"filler-daypart-2", change, time_at_s(6 * 60 * 60), 0},
    };
    int number = 1;
    for (const auto& daypart : dayparts) {
      const QString where = folder(QString::fromLatin1(daypart.folder));
      for (const char* letter : {"a", "b", "c"}) {
        clip(where, QStringLiteral("filler-%1.mp4").arg(QString::fromLatin1(letter)),
             QStringLiteral("FILLER  daypart %1  clip %2")
                 .arg(number)
                 .arg(QString::fromLatin1(letter).toUpper()),
             10, Pattern::kFiller);
      }
      plan_.rows.push_back(filler_row(where, daypart.from, daypart.until,
                                      QStringLiteral("daypart %1").arg(number),
                                      daypart.day_of_week));
      ++number;
    }
  }

  QString logos_folder() {
    if (logos_.isEmpty()) {
      logos_ = folder(QStringLiteral("logos"));
    }
    return logos_;
  }

  void logos() {
    const QString day = logos_folder() + QStringLiteral("/logo-day.png");
    const QString evening = logos_folder() + QStringLiteral("/logo-later.png");
    plan_.pictures = {
        {logos_folder() + QStringLiteral("/channel-logo.png"), QStringLiteral("VANTORA"),
         QStringLiteral("0x1f3a93")},
        {day, QStringLiteral("DEMO 1"), QStringLiteral("0x8e44ad")},
        {evening, QStringLiteral("DEMO 2"), QStringLiteral("0x16a085")},
    };
    const DateTime change = at_s(t_.first_show_s + t_.daypart_change_after_s);
    plan_.rows.push_back({QStringLiteral("logo"),
                          {{0, QVariant(day)},
                           {1, at(at_s(-60 * 60))},
                           {2, at(change)},
                           {3, QVariant(10)},
                           {4, QVariant(380)}}});
    plan_.rows.push_back({QStringLiteral("logo"),
                          {{0, QVariant(evening)},
                           {1, at(date_time::add_seconds(change, 1))},
                           {2, at(at_s(24 * 60 * 60))},
                           {3, QVariant(10)},
                           {4, QVariant(380)}}});
  }

  void emergency() {
    clip(folder(QStringLiteral("emergency")), QStringLiteral("emergency.mp4"),
         QStringLiteral("EMERGENCY"), 8, Pattern::kEmergency);
  }

  QString root_;
  DateTime now_;
  DateTime today_;
  Timeline t_;
  QString logos_;
  std::vector<RowSpec> adv_rows_;
  Plan plan_;
};

}  // namespace

Plan plan_channel(const QString& folder, DateTime now, const Timeline& timeline) {
  return Planner(folder, now, timeline).build();
}

}  // namespace vantora::platform::demo
