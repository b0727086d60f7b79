// Stands in for the database until its implementation is merged; every open fails with 3709.
#include "core/common/errors.h"
#include "core/database/data_environment.h"

namespace vantora::db {

class TableStore {};
struct Recordset::State {};

Recordset::Recordset(QString command, QString table)
    : command_(std::move(command)), table_(std::move(table)) {}
Recordset::~Recordset() = default;
void Recordset::open() {
  throw RuntimeError(err::kDatabaseError);
}
void Recordset::close() {
  throw RuntimeError(err::kOperationNotAllowedClosed);
}
void Recordset::requery() {}
bool Recordset::is_open() const {
  return false;
}
bool Recordset::bof() const {
  return true;
}
bool Recordset::eof() const {
  return true;
}
void Recordset::move_first() {}
void Recordset::move_next() {}
void Recordset::move_last() {}
Bookmark Recordset::bookmark() const {
  return {};
}
void Recordset::go_to(const Bookmark&) {}
void Recordset::set_sort(const QString&) {}
QVariant Recordset::field(int) const {
  return {};
}
void Recordset::set_field(int, const QVariant&) {}
void Recordset::add_new() {}
void Recordset::update() {}
void Recordset::delete_current() {}
void Recordset::update_batch() {}
int Recordset::record_count() const {
  return 0;
}

DataEnvironment::DataEnvironment() = default;
DataEnvironment::~DataEnvironment() = default;
void DataEnvironment::set_data_folder(const QString&) {}

}  // namespace vantora::db
