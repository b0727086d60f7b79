#pragma once

#include <QString>
#include <memory>

#include "core/database/recordset.h"

namespace vantora::db {

// The one data environment of the program: the connection to the schedule database and the
// eleven recordsets, each opening one whole table. It lives as long as the program.
class DataEnvironment {
 public:
  DataEnvironment();
  ~DataEnvironment();
  DataEnvironment(const DataEnvironment&) = delete;
  DataEnvironment& operator=(const DataEnvironment&) = delete;

  // Points the connection at the schedule in a data folder; it opens on first use.
  void set_data_folder(const QString& data_folder);

  Recordset rsplaylist{QStringLiteral("playlist"), QStringLiteral("playlist")};
  Recordset rsPlayer_INI{QStringLiteral("Player_INI"), QStringLiteral("Player INI")};
  Recordset rsPlayed{QStringLiteral("Played"), QStringLiteral("Played")};
  Recordset rsAd_Slot{QStringLiteral("Ad_Slot"), QStringLiteral("Slot_adv")};
  Recordset rsAdv{QStringLiteral("Adv"), QStringLiteral("adv")};
  Recordset rsADTemp{QStringLiteral("ADTemp"), QStringLiteral("AD_Temp")};
  Recordset rsLogo{QStringLiteral("Logo"), QStringLiteral("logo")};
  Recordset rsfiller{QStringLiteral("filler"), QStringLiteral("filler")};
  Recordset rsLottery{QStringLiteral("Lottery"), QStringLiteral("Wizard_INI")};
  Recordset rsNews_Slot{QStringLiteral("News_Slot"), QStringLiteral("News_Slot")};
  Recordset rsNews{QStringLiteral("News"), QStringLiteral("News")};

 private:
  std::unique_ptr<TableStore> store_;
};

}  // namespace vantora::db
