#include "core/news/get_news_time.h"

#include <cmath>

#include "core/database/columns.h"
#include "core/shell/file_lists.h"
#include "core/shell/procedure.h"

namespace vantora {

namespace {

// Times of day on the reference day compare to the millisecond: two readings of the same clock
// second must be equal however their fractions of a day were computed.
bool within(DateTime value, DateTime from, DateTime to) {
  const std::int64_t ms = date_time::to_linear_ms(value);
  return date_time::to_linear_ms(from) <= ms && ms <= date_time::to_linear_ms(to);
}

// One pass over rsNews from its first row; true when it stopped on a row whose time lies in
// [from, to]. A row whose time cannot be read is skipped.
bool find_row(Player& p, Procedure& proc, DateTime from, DateTime to) {
  PlayerState& s = p.state;
  db::Recordset& news = p.data.rsNews;
  for (;;) {
    bool at_end = true;
    // A recordset that fails here (closed by a timer during the yield) ends the pass.
    if (!proc([&] { at_end = news.eof(); }) || at_end) {
      return false;
    }
    p.runtime.yield();
    const bool read = proc([&] {
      s.news.NewsTime =
          date_time::on_reference_day(values::to_date_time(news.field(db::col::news::kNewsTime)));
    });
    if (read && within(s.news.NewsTime, from, to)) {
      return true;
    }
    if (!proc([&] { news.move_next(); })) {
      return false;
    }
  }
}

void rewind(Player& p, Procedure& proc) {
  db::Recordset& news = p.data.rsNews;
  proc([&] {
    if (!news.bof()) {
      news.move_first();
    }
  });
}

// Takes the row the pass stopped on; false when its folder cannot be listed. NewsFile would then
// still list the folder of an earlier item, whose clips the news would play: the row counts as
// not found (its error is logged) and the pass goes on.
bool take_row(Player& p, Procedure& proc, DateTime due_day) {
  PlayerState& s = p.state;
  QString folder;
  proc([&] { folder = values::to_text(p.data.rsNews.field(db::col::news::kFolderPath)); });
  if (!proc([&] { file_lists::set_path(p.form.NewsFile, p.files, folder); })) {
    return false;
  }
  s.news.NewsFound = kTrue;
  s.news.NewsFolder = folder;
  s.news.NewsDay = due_day;
  proc([&] { s.news.NewsCount = static_cast<std::int16_t>(p.form.NewsFile.ListCount()); });
  s.news.NewsIndex = 0;
  return true;
}

// One pass that takes the first row in [from, to] whose folder can be listed.
bool find_item(Player& p, Procedure& proc, DateTime from, DateTime to, DateTime due_day) {
  while (find_row(p, proc, from, to)) {
    if (take_row(p, proc, due_day)) {
      return true;
    }
    if (!proc([&] { p.data.rsNews.move_next(); })) {
      return false;
    }
  }
  return false;
}

}  // namespace

void GetNewsTime(Player& p, double Seconds) {
  Procedure proc(p.errors, QStringLiteral("GetNewsTime()"));
  PlayerState& s = p.state;
  // An item that fell due during the break now ending is still the next one, though its time
  // has passed.
  if (s.news.NewsHeld == kTrue) {
    s.news.NewsFound = kTrue;
    return;
  }
  s.news.NewsFound = kFalse;

  DateTime now = date_time::truncate_to_second(p.runtime.now());
  DateTime later;
  // A clip said to run for longer than the calendar lasts (a schedule's garbage offsets) has no
  // end to look ahead to.
  if (!proc([&] { later = date_time::add_seconds(now, values::round_half_even(Seconds)); })) {
    return;
  }
  const bool crosses_midnight =
      std::floor(later.value) - std::floor(now.value) != 0.0;  // day boundaries between them
  const DateTime today = date_time::date_part(now);
  now = date_time::on_reference_day(now);
  later = date_time::on_reference_day(later);

  proc([&] { p.data.rsNews.requery(); });
  rewind(p, proc);
  if (find_item(p, proc, now, date_time::reference_day_end(), today)) {
    return;
  }
  if (crosses_midnight) {
    rewind(p, proc);
    find_item(p, proc, DateTime(kReferenceDaySerial), later, DateTime(today.value + 1.0));
  }
}

}  // namespace vantora
