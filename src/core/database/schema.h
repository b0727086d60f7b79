#pragma once

#include <QString>
#include <QVariant>
#include <vector>

#include "ports/table_store.h"

namespace vantora::db::schema {

// The schedule's tables as a new database gets them: every column at its ordinal, then the key
// column. Any backend builds its tables from this one description.
struct ColumnDefinition {
  QString name;
  ports::ColumnKind kind = ports::ColumnKind::kAny;
  QVariant default_value;  // Null: no default
};

struct TableDefinition {
  QString name;
  std::vector<ColumnDefinition> columns;
};

// The trailing whole-number column that identifies a row for write-back; the player neither
// reads nor writes it.
inline const QString kKeyColumn = QStringLiteral("id");

const std::vector<TableDefinition>& tables();

// The `Player INI` row a new database starts with, folders under the data folder.
std::vector<ports::CellValue> default_player_ini(const QString& data_folder);
// The `Wizard_INI` row: the lottery counter at zero.
std::vector<ports::CellValue> default_wizard_ini();

}  // namespace vantora::db::schema
