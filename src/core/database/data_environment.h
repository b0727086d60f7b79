#pragma once

#include <QString>
#include <array>
#include <memory>

#include "core/database/recordset.h"
#include "ports/table_store.h"

namespace vantora::db {

// The one data environment of the program: the connection to the schedule database and the
// eleven recordsets, each opening one whole table. It lives as long as the program.
class DataEnvironment {
 public:
  // Without a factory there is no database: every open raises a database error.
  DataEnvironment();
  explicit DataEnvironment(ports::StoreFactory factory);
  ~DataEnvironment();
  DataEnvironment(const DataEnvironment&) = delete;
  DataEnvironment& operator=(const DataEnvironment&) = delete;

  // Points the connection at the schedule in a data folder; it opens on first use. A connection
  // that failed is tried again on the next use.
  void set_data_folder(const QString& data_folder);
  const QString& data_folder() const { return data_folder_; }

  void set_store_factory(ports::StoreFactory factory);
  // One-off warnings (a table without a key column) go here; by default to qWarning.
  void set_notice_sink(NoticeSink sink);

  // The connection, opening it if need be.
  ports::TableStore& database();

  Recordset rsplaylist{QStringLiteral("playlist"), QStringLiteral("playlist")};
  Recordset rsPlayer_INI{QStringLiteral("Player_INI"), QStringLiteral("Player INI")};
  Recordset rsPlayed{QStringLiteral("Played"), QStringLiteral("Played"), Retention::kLastRow};
  Recordset rsAd_Slot{QStringLiteral("Ad_Slot"), QStringLiteral("Slot_adv")};
  Recordset rsAdv{QStringLiteral("Adv"), QStringLiteral("adv")};
  Recordset rsADTemp{QStringLiteral("ADTemp"), QStringLiteral("AD_Temp")};
  Recordset rsLogo{QStringLiteral("Logo"), QStringLiteral("logo")};
  Recordset rsfiller{QStringLiteral("filler"), QStringLiteral("filler")};
  Recordset rsLottery{QStringLiteral("Lottery"), QStringLiteral("Wizard_INI")};
  Recordset rsNews_Slot{QStringLiteral("News_Slot"), QStringLiteral("News_Slot")};
  Recordset rsNews{QStringLiteral("News"), QStringLiteral("News")};

  std::array<Recordset*, 11> recordsets();

 private:
  ports::StoreFactory factory_;
  QString data_folder_;
  NoticeSink notices_;
  std::unique_ptr<ports::TableStore> store_;
};

}  // namespace vantora::db
