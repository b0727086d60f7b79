#include "core/database/schema.h"

#include <QDir>

#include "base/values.h"

namespace vantora::db::schema {
namespace {

using ports::ColumnKind;

ColumnDefinition text(const char* name) {
  return {QString::fromLatin1(name), ColumnKind::kText, {}};
}
ColumnDefinition whole(const char* name) {
  return {QString::fromLatin1(name), ColumnKind::kInteger, {}};
}
ColumnDefinition number(const char* name) {
  return {QString::fromLatin1(name), ColumnKind::kNumber, {}};
}
ColumnDefinition date_time(const char* name) {
  return {QString::fromLatin1(name), ColumnKind::kDateTime, {}};
}
// A yes/no column starts False: a row written without it is not started, not completed.
ColumnDefinition yes_no(const char* name) {
  return {QString::fromLatin1(name), ColumnKind::kYesNo, QVariant(0)};
}
ColumnDefinition any(const char* name) {
  return {QString::fromLatin1(name), ColumnKind::kAny, {}};
}

// The segment layout shared by `playlist`, `Played` and (its first 17 columns) `AD_Temp`, so
// that a log row is a column-for-column copy of the row played.
std::vector<ColumnDefinition> segment_columns(ColumnKind offset_kind) {
  return {
      date_time("seg_start_time"),
      date_time("seg_end_time"),
      text("file_name"),
      {QStringLiteral("start_offset"), offset_kind, {}},
      {QStringLiteral("end_offset"), offset_kind, {}},
      text("caption"),
      text("text6"),
      yes_no("started"),
      yes_no("completed"),
      whole("picture_top"),
      whole("picture_height"),
      yes_no("hide_caption"),
      yes_no("ad_flag"),
      yes_no("start_now"),
      yes_no("show_start"),
      yes_no("show_end"),
      number("saved_position"),
  };
}

std::vector<ColumnDefinition> logged_segment_columns() {
  std::vector<ColumnDefinition> columns = segment_columns(ColumnKind::kInteger);
  columns.push_back(any("reserved_17"));
  columns.push_back(text("logo_file"));
  columns.push_back(number("logo_left"));
  columns.push_back(number("logo_top"));
  return columns;
}

std::vector<TableDefinition> build_tables() {
  return {
      {QStringLiteral("playlist"), logged_segment_columns()},
      {QStringLiteral("Player INI"),
       {whole("start_tolerance"), text("filler_folder"), whole("break_lead_time"),
        text("status_file_1"), text("status_file_2"), text("status_file_3"),
        yes_no("caption_enabled"), yes_no("panel_left"), text("designer_document"),
        text("emergency_folder")}},
      {QStringLiteral("Played"), logged_segment_columns()},
      {QStringLiteral("Slot_adv"),
       {text("slot_name"), date_time("time"), text("slot_note"), number("slot_kind")}},
      {QStringLiteral("adv"),
       {text("item_name"), date_time("time"), text("caption"), date_time("first_date"),
        date_time("last_date"), text("media_path"), text("item_kind"), number("duration"),
        text("extra_text"), yes_no("hide_caption"), yes_no("ad_flag"), any("extra_16"),
        number("Priority")}},
      // Ads last fractional seconds, so the offsets of a break item are numbers.
      {QStringLiteral("AD_Temp"), segment_columns(ColumnKind::kNumber)},
      {QStringLiteral("logo"),
       {text("picture_file"), date_time("startdate"), date_time("enddate"), number("logo_top"),
        number("logo_left")}},
      {QStringLiteral("filler"),
       {text("folder_path"), date_time("start_time"), date_time("end_time"), text("filler_note"),
        whole("day_of_week")}},
      {QStringLiteral("Wizard_INI"), {text("lottery_counter")}},
      {QStringLiteral("News_Slot"), {text("slot_name"), date_time("time")}},
      {QStringLiteral("News"), {text("news_name"), date_time("news_time"), text("folder_path")}},
  };
}

}  // namespace

const std::vector<TableDefinition>& tables() {
  static const std::vector<TableDefinition> definitions = build_tables();
  return definitions;
}

std::vector<ports::CellValue> default_player_ini(const QString& data_folder) {
  const QDir folder(data_folder);
  return {
      {0, QVariant(60)},
      {1, QVariant(QDir::toNativeSeparators(folder.absoluteFilePath(QStringLiteral("filler"))))},
      {2, QVariant(10)},
      {3, QVariant()},
      {4, QVariant()},
      {5, QVariant()},
      {6, QVariant(1)},
      {7, QVariant(0)},
      {8, QVariant(QString())},
      {9, QVariant(QDir::toNativeSeparators(folder.absoluteFilePath(QStringLiteral("emergency"))))},
  };
}

std::vector<ports::CellValue> default_wizard_ini() {
  return {{0, QVariant(values::number_text(0))}};
}

}  // namespace vantora::db::schema
