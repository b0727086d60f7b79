#include "app/demo/schedule_rows.h"

#include <QDir>
#include <QVariant>
#include <map>

#include "base/errors.h"
#include "base/values.h"
#include "core/database/cell_codec.h"
#include "platform/sql/sqlite_schedule_store.h"

namespace vantora::platform::demo {
namespace {

QVariant at(DateTime value) {
  return QVariant::fromValue(value);
}
QVariant yes(bool value) {
  return QVariant(static_cast<int>(to_bool16(value)));
}

// Writes player values through the columns' own storage format, as the recordsets do.
class RowWriter {
 public:
  explicit RowWriter(SqliteScheduleStore& store) : store_(store) {}

  void insert(const RowSpec& row) { store_.insert_row(row.table, encoded(row.table, row.cells)); }

  void update_first(const QString& table, const std::vector<ports::CellValue>& cells) {
    const ports::TableContents contents = store_.read_table(table);
    if (contents.rows.empty()) {
      throw RuntimeError(err::kDatabaseError, QStringLiteral("The table %1 is empty.").arg(table));
    }
    store_.update_row(table, contents.rows.front().key, encoded(table, cells));
  }

 private:
  std::vector<ports::CellValue> encoded(const QString& table,
                                        const std::vector<ports::CellValue>& cells) {
    auto found = layouts_.find(table);
    if (found == layouts_.end()) {
      found = layouts_.emplace(table, store_.read_table(table).layout).first;
    }
    std::vector<ports::CellValue> out;
    out.reserve(cells.size());
    for (const ports::CellValue& cell : cells) {
      const auto kind = found->second.columns.at(static_cast<std::size_t>(cell.ordinal)).kind;
      out.push_back({cell.ordinal, db::cell_codec::encode(kind, cell.value)});
    }
    return out;
  }

  SqliteScheduleStore& store_;
  std::map<QString, ports::TableLayout> layouts_;
};

}  // namespace

RowSpec playlist_row(const Segment& s) {
  return {QStringLiteral("playlist"),
          {
              {0, at(s.start)},
              {1, at(date_time::add_seconds(s.start, s.length_s))},
              {2, QVariant(s.file)},
              {3, QVariant(s.start_offset_s)},
              {4, QVariant(s.start_offset_s + s.length_s)},
              {5, QVariant(s.caption)},
              {6, QVariant(s.title)},
              {9, QVariant(s.picture_top)},
              {10, QVariant(s.picture_height)},
              {14, yes(s.show_start)},
              {15, yes(s.show_end)},
              {18, QVariant(s.logo_file)},
              {19, QVariant(s.logo_left)},
              {20, QVariant(s.logo_top)},
          }};
}

RowSpec adv_row(const BreakItem& item) {
  return {QStringLiteral("adv"),
          {
              {0, QVariant(item.name)},
              {1, at(item.time_of_day)},
              {2, QVariant(item.caption)},
              {3, at(item.first_date)},
              {4, at(item.last_date)},
              {5, QVariant(item.media_path)},
              {6, QVariant(item.kind)},
              {7, QVariant(item.duration_s)},
              {8, QVariant(item.name)},
              {9, yes(false)},
              {10, yes(item.ad_flag)},
              {11, QVariant(0)},
              {12, QVariant(item.priority)},
          }};
}

RowSpec slot_row(const QString& name, DateTime time_of_day, SlotKind kind) {
  return {QStringLiteral("Slot_adv"),
          {{0, QVariant(name)},
           {1, at(time_of_day)},
           {2, QVariant()},
           {3, QVariant(static_cast<int>(kind))}}};
}

RowSpec news_row(const QString& name, DateTime time_of_day, const QString& folder) {
  return {QStringLiteral("News"),
          {{0, QVariant(name)}, {1, at(time_of_day)}, {2, QVariant(folder)}}};
}

RowSpec filler_row(const QString& folder, DateTime from, DateTime until, const QString& note,
                   int day_of_week) {
  return {QStringLiteral("filler"),
          {{0, QVariant(folder)},
           {1, at(from)},
           {2, at(until)},
           {3, QVariant(note)},
           {4, QVariant(day_of_week)}}};
}

void write_schedule(const QString& folder, const std::vector<ports::CellValue>& player_ini,
                    const std::vector<RowSpec>& rows) {
  if (create_schedule(folder) == CreateResult::kAlreadyExists) {
    throw RuntimeError(err::kPathFileAccessError,
                       QStringLiteral("%1 already holds a schedule.").arg(folder));
  }
  SqliteScheduleStore store(QDir(folder).filePath(kScheduleFileName),
                            SqliteScheduleStore::OpenMode::kExistingFile);
  RowWriter writer(store);
  writer.update_first(QStringLiteral("Player INI"), player_ini);
  for (const RowSpec& row : rows) {
    writer.insert(row);
  }
}

}  // namespace vantora::platform::demo
