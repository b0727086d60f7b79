#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "core/shell/player.h"
#include "support/player_fixture.h"

namespace vantora::testing {

// One playlist row as the scheduling tool writes it; times are "HH:MM:SS" of the fixture's day.
struct PlaylistRow {
  QString start;
  QString end;
  QString file = QStringLiteral("/media/movie.mp4");
  int start_offset = 0;
  int end_offset = 1800;
  bool show_start = false;
  bool show_end = false;
  bool started = false;
  bool completed = false;
  QString saved_position = QStringLiteral("NULL");
  QString logo_file = QStringLiteral("NO");
  int picture_top = 0;
  int picture_height = 0;
  bool start_now = false;
};

// A player on the simulated clock over a fresh schedule. The day is Sunday 6 December 2026.
class DayFixture : public PlayerFixture {
 protected:
  static constexpr int kYear = 2026;
  static constexpr int kMonth = 12;
  static constexpr int kDay = 6;

  static DateTime at(int hour, int minute, int second = 0) {
    return date_time::from_parts(kYear, kMonth, kDay, hour, minute, second);
  }
  static QString day_text(const QString& time_of_day) {
    return QStringLiteral("2026-12-06 ") + time_of_day;
  }

  // The player, built once the clock stands where the test wants it.
  Player& player(DateTime clock_start) {
    start_player(clock_start);
    return *player_;
  }

  void add_row(const PlaylistRow& row) {
    auto flag = [](bool value) { return value ? QStringLiteral("-1") : QStringLiteral("0"); };
    tool_exec(
        QStringLiteral(
            "INSERT INTO playlist (seg_start_time, seg_end_time, file_name, "
            "start_offset, end_offset, show_start, show_end, started, completed, "
            "saved_position, logo_file, picture_top, picture_height, start_now, caption, text6) "
            "VALUES ('%1', '%2', '%3', %4, %5, %6, %7, %8, %9, %10, '%11', %12, "
            "%13, %14, 'Tonight', '')")
            .arg(day_text(row.start), day_text(row.end), row.file)
            .arg(row.start_offset)
            .arg(row.end_offset)
            .arg(flag(row.show_start), flag(row.show_end), flag(row.started), flag(row.completed),
                 row.saved_position, row.logo_file)
            .arg(row.picture_top)
            .arg(row.picture_height)
            .arg(flag(row.start_now)));
  }

  void open_playlist() {
    data_->rsplaylist.open();
    data_->rsplaylist.set_sort(QStringLiteral("seg_start_time"));
  }
};

}  // namespace vantora::testing
