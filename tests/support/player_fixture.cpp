#include "support/player_fixture.h"

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

void PlayerFixture::add_ad(const Ad& ad) {
  append_row(data_->rsAdv, {{1, ad.time},
                            {2, ad.caption},
                            {3, ad.first_date},
                            {4, ad.last_date},
                            {5, ad.media_path},
                            {7, ad.duration},
                            {9, QVariant(false)},
                            {10, QVariant(false)},
                            {12, ad.priority}});
}

void PlayerFixture::add_slot(const QVariant& time, const QVariant& kind) {
  append_row(data_->rsAd_Slot, {{1, time}, {3, kind}});
}

void PlayerFixture::reset_tables() {
  for (db::Recordset* rs :
       {&data_->rsplaylist, &data_->rsAdv, &data_->rsAd_Slot, &data_->rsADTemp}) {
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

void PlayerFixture::reopen() {
  for (db::Recordset* rs :
       {&data_->rsplaylist, &data_->rsAdv, &data_->rsAd_Slot, &data_->rsADTemp}) {
    if (rs->is_open()) {
      rs->requery();
    } else {
      rs->open();
    }
  }
  // As the day start leaves them.
  data_->rsplaylist.set_sort(QStringLiteral("seg_start_time"));
  data_->rsAd_Slot.set_sort(QStringLiteral("time"));
  data_->rsAdv.set_sort(QStringLiteral("time"));
}

std::vector<std::vector<QVariant>> PlayerFixture::ad_temp_rows() {
  std::vector<std::vector<QVariant>> rows;
  db::Recordset& rs = data_->rsADTemp;
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

std::vector<QString> PlayerFixture::ad_temp_files() {
  std::vector<QString> files;
  for (const auto& row : ad_temp_rows()) {
    files.push_back(values::to_text(row[2]));
  }
  return files;
}

}  // namespace vantora::testing
