#include "tools/daygen/day_generator.h"

#include <QDir>
#include <QFile>
#include <QVariant>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <utility>

#include "base/errors.h"
#include "base/values.h"

namespace vantora::daygen {
namespace {

using demo::RowSpec;
using demo::SlotKind;

// The seed's own sequence: std::mt19937 is the same everywhere, and the reduction to a range is
// done here rather than by a distribution, whose results the standard leaves to the library.
class Dice {
 public:
  explicit Dice(std::uint32_t seed) : engine_(seed) {}
  int between(int low, int high) {
    if (high <= low) {
      return low;
    }
    return low + static_cast<int>(engine_() % static_cast<std::uint32_t>(high - low + 1));
  }
  bool chance_in_100(int percent) { return between(1, 100) <= percent; }
  template <typename T>
  void shuffle(std::vector<T>& items) {
    for (std::size_t i = items.size(); i > 1; --i) {
      std::swap(items[i - 1], items[static_cast<std::size_t>(between(0, static_cast<int>(i) - 1))]);
    }
  }

 private:
  std::mt19937 engine_;
};

QString two_digits(int n) {
  return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

DateTime time_of_day_s(int seconds) {
  return date_time::from_time_of_day(seconds / 3600, seconds / 60 % 60, seconds % 60);
}

struct Show {
  int start_s = 0;
  std::vector<int> lengths_s;
  int length_s() const {
    int total = 0;
    for (const int length : lengths_s) {
      total += length;
    }
    return total;
  }
};

class Generator {
 public:
  Generator(const QString& folder, const DayParameters& p)
      : root_(QDir(folder).absolutePath()), p_(p), dice_(p.seed) {
    day_.folder = root_;
    day_.date = date_time::date_part(p.date);
    day_.media_durations = path(kMediaDurationsFile);
  }

  GeneratedDay build() {
    settings();
    shows();
    breaks_and_news();
    filler();
    write();
    return std::move(day_);
  }

 private:
  QString path(const QString& relative) const { return root_ + QLatin1Char('/') + relative; }
  DateTime on_day(int seconds) const { return date_time::add_seconds(day_.date, seconds); }
  DateTime days_from_today(int days) const {
    return date_time::add_seconds(day_.date, static_cast<double>(days) * kSecondsPerDay);
  }

  QString folder(const QString& relative) {
    folders_.push_back(path(relative));
    return folders_.back();
  }
  QString clip(const QString& in_folder, const QString& name, int seconds) {
    const QString file = in_folder + QLatin1Char('/') + name;
    manifest_ += file + QLatin1Char('\t') + QString::number(seconds) + QLatin1Char('\n');
    ++day_.manifest_entries;
    clips_.push_back(file);
    return file;
  }

  void settings() {
    const QString status = folder(QStringLiteral("status"));
    default_filler_ = folder(QStringLiteral("filler/default"));
    const QString emergency = folder(QStringLiteral("emergency"));
    clip(emergency, QStringLiteral("emergency.mp4"), 60);
    player_ini_ = {
        {1, QVariant(default_filler_)},
        {2, QVariant(p_.break_lead_s)},
        {3, QVariant(status + QStringLiteral("/caption-1.txt"))},
        {4, QVariant(status + QStringLiteral("/caption-2.txt"))},
        {5, QVariant(status + QStringLiteral("/caption-3.txt"))},
        {6, QVariant(static_cast<int>(kTrue))},
        {7, QVariant(static_cast<int>(kFalse))},
        {8, QVariant(QStringLiteral("generated-day"))},
        {9, QVariant(emergency)},
    };
  }

  // Shows at even steps over the programme's span, each leaving at least the gap for filler.
  void shows() {
    if (p_.shows <= 0) {
      return;
    }
    const QString movies = folder(QStringLiteral("movies"));
    const int step_s = (p_.programme_end_s - p_.first_show_s) / p_.shows;
    for (int d = 0; d < std::max(1, p_.days); ++d) {
      for (int i = 0; i < p_.shows; ++i) {
        Show show;
        show.start_s = p_.first_show_s + i * step_s;
        const int segments = dice_.between(p_.segments_min, p_.segments_max);
        const int longest_s = std::max(1, (step_s - p_.gap_min_s) / std::max(1, segments));
        for (int k = 0; k < segments; ++k) {
          show.lengths_s.push_back(dice_.between(std::min(p_.segment_min_s, longest_s),
                                                 std::min(p_.segment_max_s, longest_s)));
        }
        const QString name =
            d == 0 ? two_digits(i + 1) : QStringLiteral("d%1-%2").arg(d + 1).arg(two_digits(i + 1));
        show_segments(movies, name, d * static_cast<int>(kSecondsPerDay), show);
        if (d == 0) {
          shows_.push_back(show);
        }
      }
    }
  }

  // A split movie: part k's file runs from the film's start to the part's end, and the part
  // starts at the offset where the one before ended.
  void show_segments(const QString& movies, const QString& name, int day_s, const Show& show) {
    int offset_s = 0;
    int start_s = day_s + show.start_s;
    const QString title = QStringLiteral("Show ") + name;
    const int segments = static_cast<int>(show.lengths_s.size());
    for (int k = 0; k < segments; ++k) {
      const int length_s = show.lengths_s[static_cast<std::size_t>(k)];
      demo::Segment s;
      s.file = clip(movies, QStringLiteral("show-%1-part-%2.mp4").arg(name).arg(k + 1),
                    offset_s + length_s);
      s.caption = QStringLiteral("Now showing: ") + title;
      s.title = title;
      s.start = on_day(start_s);
      s.start_offset_s = offset_s;
      s.length_s = length_s;
      s.logo_file = QStringLiteral("NO");
      s.show_start = k == 0;
      s.show_end = k == segments - 1;
      rows_.push_back(demo::playlist_row(s));
      day_.segments.push_back(
          {s.file, s.start, s.start_offset_s, s.length_s, s.show_start, s.show_end});
      offset_s += length_s;
      start_s += length_s;
    }
  }

  // The moment `offset_s` into the day's show time, the shows laid end to end.
  int show_time_to_day_s(long long offset_s) const {
    for (const Show& show : shows_) {
      if (offset_s < show.length_s()) {
        return show.start_s + static_cast<int>(offset_s);
      }
      offset_s -= show.length_s();
    }
    return shows_.empty() ? p_.first_show_s : shows_.back().start_s;
  }

  // Breaks and daily news at even steps through the shows, each kind at seeded places, so that
  // none runs into the next.
  void breaks_and_news() {
    enum class Kind { kAdBreak, kNewsBreak, kDailyNews };
    std::vector<Kind> kinds;
    kinds.insert(kinds.end(), static_cast<std::size_t>(std::max(0, p_.ad_slots)), Kind::kAdBreak);
    kinds.insert(kinds.end(), static_cast<std::size_t>(std::max(0, p_.news_breaks)),
                 Kind::kNewsBreak);
    kinds.insert(kinds.end(), static_cast<std::size_t>(std::max(0, p_.daily_news)),
                 Kind::kDailyNews);
    dice_.shuffle(kinds);
    long long show_time_s = 0;
    for (const Show& show : shows_) {
      show_time_s += show.length_s();
    }
    const double step_s = static_cast<double>(show_time_s) /
                          static_cast<double>(std::max<std::size_t>(1, kinds.size()));
    for (std::size_t j = 0; j < kinds.size(); ++j) {
      const int at_s =
          show_time_to_day_s(static_cast<long long>((static_cast<double>(j) + 0.5) * step_s));
      switch (kinds[j]) {
        case Kind::kAdBreak:
          ad_break(at_s);
          break;
        case Kind::kNewsBreak:
          news_break(at_s);
          break;
        case Kind::kDailyNews:
          daily_news(at_s);
          break;
      }
    }
    ad_catalogue();
  }

  QString ad_file(int number) {
    while (static_cast<int>(ad_files_.size()) < number) {
      if (ads_folder_.isEmpty()) {
        ads_folder_ = folder(QStringLiteral("ads"));
      }
      const int length_s = dice_.between(p_.ad_min_s / 5, p_.ad_max_s / 5) * 5;
      const int n = static_cast<int>(ad_files_.size()) + 1;
      ad_files_.push_back(
          {clip(ads_folder_, QStringLiteral("ad-%1.mp4").arg(n, 4, 10, QLatin1Char('0')), length_s),
           length_s});
    }
    return ad_files_[static_cast<std::size_t>(number - 1)].first;
  }
  int ad_length_s(int number) const {
    return ad_files_[static_cast<std::size_t>(number - 1)].second;
  }

  void ad_break(int at_s) {
    const DateTime time = time_of_day_s(at_s);
    slot_times_s_.push_back(at_s);
    rows_.push_back(demo::slot_row(QStringLiteral("Break ") + date_time::to_text(time).right(8),
                                   time, SlotKind::kAds));
    GeneratedBreak prepared{on_day(at_s), SlotKind::kAds, {}};
    const int items = dice_.between(p_.ads_per_break_min, p_.ads_per_break_max);
    std::vector<int> chosen;
    while (static_cast<int>(chosen.size()) < std::min(items, p_.ad_files)) {
      const int number = dice_.between(1, std::max(1, p_.ad_files));
      if (std::find(chosen.begin(), chosen.end(), number) == chosen.end()) {
        chosen.push_back(number);
      }
    }
    // Priority is the play order.
    for (std::size_t k = 0; k < chosen.size(); ++k) {
      const QString file = ad_file(chosen[k]);
      prepared.items.push_back(file);
      ads_today_.push_back(adv(chosen[k], time, days_from_today(-dice_.between(0, 60)),
                               days_from_today(dice_.between(0, 60)), static_cast<int>(k) + 1));
    }
    day_.breaks.push_back(std::move(prepared));
  }

  RowSpec adv(int ad_number, DateTime time, DateTime first, DateTime last, int priority) {
    const QString file = ad_file(ad_number);
    const QString name = QStringLiteral("ad-%1").arg(ad_number, 4, 10, QLatin1Char('0'));
    return demo::adv_row({name, time, QStringLiteral("Advertisement ") + name, first, last, file,
                          QStringLiteral("ad"), ad_length_s(ad_number), true, priority});
  }

  // The rest of the catalogue: ads for the day's slots that are not valid today (expired or not
  // yet begun), and ads for times no slot of the day has. Their rows come between today's, as a
  // scheduling tool's would.
  void ad_catalogue() {
    std::vector<RowSpec> catalogue = std::move(ads_today_);
    const int others = std::max(0, p_.ad_catalogue - static_cast<int>(catalogue.size()));
    for (int i = 0; i < others; ++i) {
      int at_s = 0;
      if (!slot_times_s_.empty() && dice_.chance_in_100(80)) {
        at_s = slot_times_s_[static_cast<std::size_t>(
            dice_.between(0, static_cast<int>(slot_times_s_.size()) - 1))];
      } else {
        do {
          at_s = dice_.between(0, kSecondsPerDay - 1);
        } while (near_a_slot(at_s));
      }
      const bool expired = dice_.chance_in_100(50);
      const int length_days = dice_.between(7, 60);
      const int first_day = expired ? -dice_.between(1, 90) - length_days : dice_.between(1, 90);
      catalogue.push_back(adv(dice_.between(1, std::max(1, p_.ad_files)), time_of_day_s(at_s),
                              days_from_today(first_day), days_from_today(first_day + length_days),
                              dice_.between(1, 9)));
    }
    dice_.shuffle(catalogue);
    day_.catalogue_rows = static_cast<int>(catalogue.size());
    for (RowSpec& row : catalogue) {
      rows_.push_back(std::move(row));
    }
  }

  // Within two seconds of a slot of either kind, where the fetches would take the row.
  bool near_a_slot(int at_s) const {
    return std::any_of(slot_times_s_.begin(), slot_times_s_.end(),
                       [at_s](int slot_s) { return std::abs(slot_s - at_s) <= 2; }) ||
           std::any_of(news_slot_times_s_.begin(), news_slot_times_s_.end(),
                       [at_s](int slot_s) { return std::abs(slot_s - at_s) <= 2; });
  }

  QStringList news_clips(const QString& in_folder, const QString& stem, int count, int fixed_s) {
    QStringList files;
    for (int k = 1; k <= count; ++k) {
      const int length_s =
          fixed_s > 0 ? fixed_s : dice_.between(p_.news_clip_min_s, p_.news_clip_max_s);
      files.push_back(clip(in_folder, QStringLiteral("%1-%2.mp4").arg(stem).arg(k), length_s));
    }
    return files;
  }

  // A news break: the slot, and the one `adv` row whose folder's clips the news fetch queues,
  // each for the row's duration.
  void news_break(int at_s) {
    const int n = static_cast<int>(news_slot_times_s_.size()) + 1;
    news_slot_times_s_.push_back(at_s);
    const DateTime time = time_of_day_s(at_s);
    const QString where = folder(QStringLiteral("news/breaks/%1").arg(two_digits(n)));
    const int length_s = dice_.between(p_.news_clip_min_s, p_.news_clip_max_s);
    const QStringList clips = news_clips(where, QStringLiteral("headline"),
                                         dice_.between(1, p_.news_clips_max), length_s);
    rows_.push_back(demo::slot_row(QStringLiteral("News break %1").arg(n), time, SlotKind::kNews));
    rows_.push_back(
        demo::adv_row({QStringLiteral("headlines-%1").arg(two_digits(n)), time,
                       QStringLiteral("The headlines"), days_from_today(-30), days_from_today(30),
                       where, QStringLiteral("news"), length_s, true, 1}));
    day_.breaks.push_back({on_day(at_s), SlotKind::kNews, clips});
  }

  void daily_news(int at_s) {
    const int n = static_cast<int>(day_.daily_news.size()) + 1;
    const QString where = folder(QStringLiteral("news/daily/%1").arg(two_digits(n)));
    const QStringList clips =
        news_clips(where, QStringLiteral("story"), dice_.between(1, p_.news_clips_max), 0);
    rows_.push_back(demo::news_row(QStringLiteral("Bulletin %1").arg(two_digits(n)),
                                   time_of_day_s(at_s), where));
    day_.daily_news.push_back({on_day(at_s), where, clips});
  }

  // The day cut into equal dayparts, each with its own folder for any weekday; the default
  // folder of `Player INI` has clips too, for a moment no row covers.
  void filler() {
    const auto fill = [this](const QString& where, const QString& stem) {
      for (int k = 1; k <= p_.filler_clips; ++k) {
        clip(where, QStringLiteral("%1-%2.mp4").arg(stem).arg(k),
             dice_.between(p_.filler_clip_min_s, p_.filler_clip_max_s));
      }
    };
    for (int part = 0; part < p_.dayparts; ++part) {
      const QString where = folder(QStringLiteral("filler/daypart-%1").arg(part + 1));
      fill(where, QStringLiteral("filler-%1").arg(part + 1));
      const int from_s = static_cast<int>(kSecondsPerDay) * part / p_.dayparts;
      const int until_s = static_cast<int>(kSecondsPerDay) * (part + 1) / p_.dayparts - 1;
      rows_.push_back(demo::filler_row(where, time_of_day_s(from_s), time_of_day_s(until_s),
                                       QStringLiteral("daypart %1").arg(part + 1), 0));
      day_.filler_folders.push_back(where);
    }
    fill(default_filler_, QStringLiteral("default"));
    day_.filler_folders.push_back(default_filler_);
  }

  void write() {
    for (const QString& where : folders_) {
      if (!QDir().mkpath(where)) {
        throw RuntimeError(err::kPathNotFound, QStringLiteral("Cannot create %1.").arg(where));
      }
    }
    if (p_.touch_media_files) {
      for (const QString& file : clips_) {
        QFile empty(file);
        if (!empty.open(QIODevice::WriteOnly)) {
          throw RuntimeError(err::kPathFileAccessError,
                             QStringLiteral("Cannot write %1.").arg(file));
        }
      }
    }
    QFile manifest(day_.media_durations);
    if (!manifest.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        manifest.write(manifest_.toUtf8()) < 0) {
      throw RuntimeError(err::kPathFileAccessError,
                         QStringLiteral("Cannot write %1.").arg(day_.media_durations));
    }
    demo::write_schedule(root_, player_ini_, rows_);
  }

  QString root_;
  DayParameters p_;
  Dice dice_;
  GeneratedDay day_;
  std::vector<Show> shows_;
  std::vector<QString> folders_;
  QStringList clips_;
  QString manifest_;
  QString default_filler_;
  QString ads_folder_;
  std::vector<std::pair<QString, int>> ad_files_;
  std::vector<int> slot_times_s_;
  std::vector<int> news_slot_times_s_;
  std::vector<RowSpec> ads_today_;
  std::vector<RowSpec> rows_;
  std::vector<ports::CellValue> player_ini_;
};

}  // namespace

GeneratedDay generate_day(const QString& folder, const DayParameters& parameters) {
  return Generator(folder, parameters).build();
}

}  // namespace vantora::daygen
