#include "tests/support/scheduled_player.h"

namespace vantora::testing {

namespace {

void append_row(db::Recordset& rs, const std::vector<std::pair<int, QVariant>>& cells) {
  if (!rs.is_open()) {
    rs.open();
  }
  rs.add_new();
  for (const auto& [ordinal, value] : cells) {
    rs.set_field(ordinal, value);
  }
  rs.update();
}

}  // namespace

void ScheduledPlayerFixture::SetUp() {
  ASSERT_TRUE(folder_.isValid());
  ASSERT_EQ(platform::create_schedule(folder_.path()), platform::CreateResult::kCreated);
  globals_.DataFolder = folder_.path();
  player_.errors.set_data_folder(folder_.path());
  player_.errors.add_listener(
      [this](const LoggedError& entry) { logged_.push_back(entry.number); });
  data_.set_data_folder(folder_.path());
  player_.state.m_objMediaPosition = position_;
  reopen();
}

void ScheduledPlayerFixture::add_ad(const Ad& ad) {
  append_row(data_.rsAdv, {{1, ad.time},
                           {2, ad.caption},
                           {3, ad.first_date},
                           {4, ad.last_date},
                           {5, ad.media_path},
                           {7, ad.duration},
                           {9, QVariant(false)},
                           {10, QVariant(false)},
                           {12, ad.priority}});
}

void ScheduledPlayerFixture::add_slot(const QVariant& time, const QVariant& kind) {
  append_row(data_.rsAd_Slot, {{1, time}, {3, kind}});
}

void ScheduledPlayerFixture::add_segment(const Segment& segment) {
  append_row(data_.rsplaylist, {{0, QVariant::fromValue(segment.start)},
                                {1, QVariant::fromValue(segment.end)},
                                {2, segment.file},
                                {3, 0},
                                {4, 1800},
                                {7, QVariant(false)},
                                {8, QVariant(segment.completed)},
                                {9, 0},
                                {10, segment.picture_height},
                                {14, QVariant(segment.show_start)},
                                {15, QVariant(segment.show_end)}});
}

void ScheduledPlayerFixture::reset_tables() {
  for (db::Recordset* rs : {&data_.rsplaylist, &data_.rsAdv, &data_.rsAd_Slot, &data_.rsADTemp}) {
    if (!rs->is_open()) {
      rs->open();
    }
    rs->requery();
    while (!rs->eof()) {
      rs->delete_current();
      rs->move_next();
    }
  }
}

void ScheduledPlayerFixture::reopen() {
  for (db::Recordset* rs : {&data_.rsplaylist, &data_.rsAdv, &data_.rsAd_Slot, &data_.rsADTemp}) {
    if (rs->is_open()) {
      rs->requery();
    } else {
      rs->open();
    }
  }
  // As the day start leaves them.
  data_.rsplaylist.set_sort(QStringLiteral("seg_start_time"));
  data_.rsAd_Slot.set_sort(QStringLiteral("time"));
  data_.rsAdv.set_sort(QStringLiteral("time"));
}

std::vector<std::vector<QVariant>> ScheduledPlayerFixture::ad_temp_rows() {
  std::vector<std::vector<QVariant>> rows;
  db::Recordset& rs = data_.rsADTemp;
  rs.requery();
  for (; !rs.eof(); rs.move_next()) {
    std::vector<QVariant> row;
    for (int ordinal = 0; ordinal <= 16; ++ordinal) {
      row.push_back(rs.field(ordinal));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<QString> ScheduledPlayerFixture::ad_temp_files() {
  std::vector<QString> files;
  for (const auto& row : ad_temp_rows()) {
    files.push_back(values::to_text(row[2]));
  }
  return files;
}

}  // namespace vantora::testing
