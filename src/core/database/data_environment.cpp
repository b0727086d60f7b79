#include "core/database/data_environment.h"

#include <QtGlobal>
#include <utility>

#include "base/errors.h"

namespace vantora::db {

DataEnvironment::DataEnvironment() : DataEnvironment(ports::StoreFactory{}) {}

DataEnvironment::DataEnvironment(ports::StoreFactory factory) : factory_(std::move(factory)) {
  const Connection connection = [this]() -> ports::TableStore& { return database(); };
  const NoticeSink notices = [this](const QString& notice) {
    if (notices_) {
      notices_(notice);
    } else {
      qWarning("%s", qPrintable(notice));
    }
  };
  for (Recordset* recordset : recordsets()) {
    recordset->attach(connection, notices);
  }
}

DataEnvironment::~DataEnvironment() = default;

void DataEnvironment::set_data_folder(const QString& data_folder) {
  data_folder_ = data_folder;
  store_.reset();
}

void DataEnvironment::set_store_factory(ports::StoreFactory factory) {
  factory_ = std::move(factory);
  store_.reset();
}

void DataEnvironment::set_notice_sink(NoticeSink sink) {
  notices_ = std::move(sink);
}

ports::TableStore& DataEnvironment::database() {
  if (store_) {
    return *store_;
  }
  if (!factory_) {
    throw RuntimeError(err::kDatabaseError,
                       QStringLiteral("No schedule database: the player was built without one."));
  }
  if (data_folder_.isEmpty()) {
    throw RuntimeError(err::kDatabaseError,
                       QStringLiteral("No schedule database: the data folder is not set."));
  }
  store_ = factory_(data_folder_);
  if (!store_) {
    throw RuntimeError(err::kDatabaseError,
                       QStringLiteral("No schedule database in %1.").arg(data_folder_));
  }
  return *store_;
}

std::array<Recordset*, 11> DataEnvironment::recordsets() {
  return {&rsplaylist, &rsPlayer_INI, &rsPlayed,  &rsAd_Slot,   &rsAdv, &rsADTemp,
          &rsLogo,     &rsfiller,     &rsLottery, &rsNews_Slot, &rsNews};
}

}  // namespace vantora::db
