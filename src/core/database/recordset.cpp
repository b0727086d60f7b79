#include "core/database/recordset.h"

#include <QStringList>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "base/values.h"
#include "core/database/cell_codec.h"

namespace vantora::db {
namespace {

using ports::ColumnKind;

constexpr std::int32_t kAlreadyOpen = 3705;
constexpr std::int32_t kItemNotFound = 3265;

enum class Edit { kNone, kEditing, kAdding };

struct Row {
  std::int64_t key = -1;
  QList<QVariant> cells;
  bool deleted = false;
  // What field() made of each stored cell, kept until the cells change: decoding a date from
  // its stored text is most of what a pass through a catalogue of thousands of rows costs, and
  // the break search makes such a pass at every clip.
  mutable std::vector<std::optional<QVariant>> decoded;

  void cells_changed() { decoded.clear(); }
};

struct SortColumn {
  int ordinal = 0;
  bool descending = false;
};

// Nulls, then numbers and date-times by value, then texts ignoring case, then whatever could
// not be read as the column's kind.
struct SortKey {
  int rank = 0;
  double number = 0.0;
  QString text;
};

QString kind_name(ColumnKind kind) {
  switch (kind) {
    case ColumnKind::kText:
      return QStringLiteral("a text");
    case ColumnKind::kInteger:
      return QStringLiteral("a whole number");
    case ColumnKind::kNumber:
      return QStringLiteral("a number");
    case ColumnKind::kDateTime:
      return QStringLiteral("a date-time");
    case ColumnKind::kYesNo:
      return QStringLiteral("a yes/no");
    case ColumnKind::kAny:
      break;
  }
  return QStringLiteral("a value");
}

QString shown(const QVariant& value) {
  if (value.typeId() == qMetaTypeId<DateTime>()) {
    return values::format_date_time(value.value<DateTime>());
  }
  return QStringLiteral("\"%1\"").arg(value.toString());
}

SortKey sort_key(ColumnKind kind, const QVariant& stored) {
  if (values::is_null(stored)) {
    return {};
  }
  try {
    const QVariant value = cell_codec::decode(kind, stored);
    if (kind == ColumnKind::kDateTime) {
      return {1, value.value<DateTime>().value, {}};
    }
    if (value.typeId() == QMetaType::QString) {
      return {2, 0.0, value.toString()};
    }
    if (value.typeId() == QMetaType::QByteArray) {
      return {3, 0.0, value.toString()};
    }
    return {1, values::to_double(value), {}};
  } catch (const RuntimeError&) {
    return {3, 0.0, stored.toString()};
  }
}

int compare(const SortKey& a, const SortKey& b) {
  if (a.rank != b.rank) {
    return a.rank < b.rank ? -1 : 1;
  }
  if (a.rank == 1) {
    return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
  }
  return a.text.compare(b.text, Qt::CaseInsensitive);
}

}  // namespace

struct Recordset::State {
  ports::TableLayout layout;
  ports::TableVersion version;  // of the table as last read
  std::vector<Row> rows;
  std::vector<int> order;  // indices into rows, in the sort order
  // Index into order: -1 is BOF, order.size() is EOF.
  std::ptrdiff_t position = 0;
  int live_rows = 0;

  // Updates of this recordset since the table was read, and whether the rows in memory are still
  // what a new read would give (no row added or deleted, no sort or key column changed): the
  // player's own position saves then do not cost a new read of the whole table.
  std::int64_t own_updates = 0;
  bool rows_as_stored = true;
  std::vector<int> sort_ordinals;

  Edit edit = Edit::kNone;
  QList<QVariant> before_edit;
  std::vector<bool> changed;
  std::ptrdiff_t position_before_add = 0;

  std::ptrdiff_t size() const { return static_cast<std::ptrdiff_t>(order.size()); }
  bool on_row() const { return position >= 0 && position < size(); }
  bool on_deleted_row() const { return on_row() && row_at(position).deleted; }
  Row& row_at(std::ptrdiff_t index) {
    return rows[static_cast<std::size_t>(order[static_cast<std::size_t>(index)])];
  }
  const Row& row_at(std::ptrdiff_t index) const {
    return rows[static_cast<std::size_t>(order[static_cast<std::size_t>(index)])];
  }

  void skip_deleted_forward() {
    while (position < size() && row_at(position).deleted) {
      ++position;
    }
  }
  void skip_deleted_backward() {
    while (position >= 0 && row_at(position).deleted) {
      --position;
    }
  }
  void to_first() {
    position = 0;
    skip_deleted_forward();
  }
};

Recordset::Recordset(QString command, QString table, Retention retention)
    : command_(std::move(command)), table_(std::move(table)), retention_(retention) {}

Recordset::~Recordset() = default;

void Recordset::attach(Connection connection, NoticeSink notices) {
  connection_ = std::move(connection);
  notices_ = std::move(notices);
}

Recordset::State& Recordset::open_state() const {
  if (!state_) {
    throw RuntimeError(err::kOperationNotAllowedClosed);
  }
  return *state_;
}

namespace {

// The current row, or 3021 when there is none.
template <typename StateT>
auto& current_row(StateT& state, const QString& table) {
  if (!state.on_row() || state.live_rows == 0) {
    throw RuntimeError(err::kBofOrEof);
  }
  auto& row = state.row_at(state.position);
  if (row.deleted) {
    throw RuntimeError(err::kBofOrEof,
                       QStringLiteral("The current row of %1 has been deleted.").arg(table));
  }
  return row;
}

template <typename StateT>
void note_write(StateT& state, bool added, bool written) {
  if (!written) {
    return;
  }
  const auto changed = [&state](int ordinal) {
    return ordinal >= 0 && state.changed[static_cast<std::size_t>(ordinal)];
  };
  if (added || changed(state.layout.key_column) ||
      std::any_of(state.sort_ordinals.begin(), state.sort_ordinals.end(), changed)) {
    state.rows_as_stored = false;
  } else {
    ++state.own_updates;
  }
}

void check_ordinal(const ports::TableLayout& layout, int ordinal, const QString& table) {
  if (ordinal < 0 || ordinal >= static_cast<int>(layout.columns.size())) {
    throw RuntimeError(err::kSubscriptOutOfRange,
                       QStringLiteral("Table %1 has no column %2 (it has %3).")
                           .arg(table)
                           .arg(ordinal)
                           .arg(layout.columns.size()));
  }
}

}  // namespace

void Recordset::load() {
  // The version is taken first: a change that lands during the read makes the next requery read
  // again rather than keep stale rows.
  const ports::TableVersion version = connection_().version(table_);
  ports::TableContents contents = retention_ == Retention::kLastRow
                                      ? connection_().read_last_row(table_)
                                      : connection_().read_table(table_);
  State& state = *state_;
  state.version = version;
  state.layout = std::move(contents.layout);
  state.rows.clear();
  state.rows.reserve(contents.rows.size());
  for (ports::StoredRow& stored : contents.rows) {
    state.rows.push_back({stored.key, std::move(stored.cells), false, {}});
  }
  state.live_rows = static_cast<int>(state.rows.size());
  state.own_updates = 0;
  state.rows_as_stored = true;
  state.edit = Edit::kNone;
  state.order.resize(state.rows.size());
  for (std::size_t i = 0; i < state.order.size(); ++i) {
    state.order[i] = static_cast<int>(i);
  }
  state.to_first();
  if (state.layout.key_column < 0 && !key_notice_sent_) {
    key_notice_sent_ = true;
    const QString notice =
        QStringLiteral(
            "Table %1 has no key column; rows are found again by their row number, which a "
            "compaction of the database can change. Add a column \"id INTEGER PRIMARY KEY\".")
            .arg(table_);
    if (notices_) {
      notices_(notice);
    }
  }
}

void Recordset::open() {
  if (state_) {
    throw RuntimeError(kAlreadyOpen, QStringLiteral("Recordset %1 is already open.").arg(command_));
  }
  if (!connection_) {
    throw RuntimeError(err::kDatabaseError,
                       QStringLiteral("Recordset %1 has no connection.").arg(command_));
  }
  state_ = std::make_unique<State>();
  try {
    load();
  } catch (...) {
    state_.reset();
    throw;
  }
}

std::optional<RuntimeError> Recordset::write_pending_reporting() {
  try {
    write_pending();
  } catch (const RuntimeError& error) {
    return error;
  }
  return std::nullopt;
}

void Recordset::close() {
  open_state();
  const std::optional<RuntimeError> failure = write_pending_reporting();
  state_.reset();
  sort_.clear();
  if (failure) {
    throw *failure;
  }
}

void Recordset::requery() {
  open_state();
  const std::optional<RuntimeError> failure = write_pending_reporting();
  // A table nobody wrote since it was read comes back as it is: the catalogues the break search
  // requeries on every clip are thousands of rows that hardly ever change. So does one that only
  // this recordset updated, since its rows hold what it wrote.
  if (!failure && state_->edit == Edit::kNone) {
    State& state = *state_;
    const ports::TableVersion now = connection_().version(table_);
    if (now == state.version || (state.rows_as_stored && now.database == state.version.database &&
                                 now.own_writes == state.version.own_writes + state.own_updates)) {
      state.version = now;
      state.own_updates = 0;
      state.to_first();
      return;
    }
  }
  load();
  apply_sort();
  if (failure) {
    throw *failure;
  }
}

bool Recordset::is_open() const {
  return state_ != nullptr;
}

// A deleted row stays current until the cursor moves, so neither BOF nor EOF holds on it.
bool Recordset::bof() const {
  const State& state = open_state();
  return !state.on_deleted_row() && (state.live_rows == 0 || state.position < 0);
}

bool Recordset::eof() const {
  const State& state = open_state();
  return !state.on_deleted_row() && (state.live_rows == 0 || state.position >= state.size());
}

void Recordset::move_first() {
  State& state = open_state();
  write_pending();
  if (state.live_rows == 0) {
    throw RuntimeError(err::kBofOrEof);
  }
  state.to_first();
}

void Recordset::move_next() {
  State& state = open_state();
  write_pending();
  if (eof()) {
    throw RuntimeError(err::kBofOrEof);
  }
  ++state.position;
  state.skip_deleted_forward();
}

void Recordset::move_last() {
  State& state = open_state();
  write_pending();
  if (state.live_rows == 0) {
    throw RuntimeError(err::kBofOrEof);
  }
  state.position = state.size() - 1;
  state.skip_deleted_backward();
}

Bookmark Recordset::bookmark() const {
  const State& state = open_state();
  return Bookmark{current_row(state, table_).key};
}

void Recordset::go_to(const Bookmark& bookmark) {
  State& state = open_state();
  write_pending();
  for (std::ptrdiff_t i = 0; i < state.size(); ++i) {
    const Row& row = state.row_at(i);
    if (row.key == bookmark.row_id && !row.deleted && bookmark.row_id >= 0) {
      state.position = i;
      return;
    }
  }
  throw RuntimeError(
      err::kBofOrEof,
      QStringLiteral("The bookmarked row of %1 is no longer in the recordset.").arg(table_));
}

void Recordset::set_sort(const QString& columns) {
  State& state = open_state();
  write_pending();
  const QString previous = sort_;
  sort_ = columns.trimmed();
  try {
    apply_sort();
  } catch (...) {
    sort_ = previous;
    throw;
  }
  state.to_first();
}

void Recordset::apply_sort() {
  State& state = *state_;
  std::vector<SortColumn> keys;
  for (const QString& part : sort_.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    QStringList words = part.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) {
      continue;
    }
    SortColumn key;
    if (words.size() == 2 && words[1].compare(QStringLiteral("DESC"), Qt::CaseInsensitive) == 0) {
      key.descending = true;
      words.removeLast();
    } else if (words.size() == 2 &&
               words[1].compare(QStringLiteral("ASC"), Qt::CaseInsensitive) == 0) {
      words.removeLast();
    }
    // A name in brackets is the classic way to quote one with blanks.
    QString name = words.join(QLatin1Char(' '));
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']'))) {
      name = name.mid(1, name.size() - 2);
    }
    const auto found = std::find_if(state.layout.columns.begin(), state.layout.columns.end(),
                                    [&](const ports::ColumnInfo& column) {
                                      return column.name.compare(name, Qt::CaseInsensitive) == 0;
                                    });
    if (found == state.layout.columns.end()) {
      throw RuntimeError(kItemNotFound,
                         QStringLiteral("Cannot sort %1 by \"%2\": the table has no such column.")
                             .arg(table_, name));
    }
    key.ordinal = static_cast<int>(found - state.layout.columns.begin());
    keys.push_back(key);
  }
  state.sort_ordinals.clear();
  for (const SortColumn& key : keys) {
    state.sort_ordinals.push_back(key.ordinal);
  }

  std::vector<int> order(state.rows.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = static_cast<int>(i);
  }
  if (!keys.empty()) {
    std::vector<std::vector<SortKey>> row_keys(state.rows.size());
    for (std::size_t i = 0; i < state.rows.size(); ++i) {
      row_keys[i].reserve(keys.size());
      for (const SortColumn& key : keys) {
        const auto ordinal = static_cast<std::size_t>(key.ordinal);
        row_keys[i].push_back(
            sort_key(state.layout.columns[ordinal].kind, state.rows[i].cells.value(key.ordinal)));
      }
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      const auto& left = row_keys[static_cast<std::size_t>(a)];
      const auto& right = row_keys[static_cast<std::size_t>(b)];
      for (std::size_t k = 0; k < keys.size(); ++k) {
        const int result = compare(left[k], right[k]);
        if (result != 0) {
          return keys[k].descending ? result > 0 : result < 0;
        }
      }
      return false;
    });
  }
  state.order = std::move(order);
  state.to_first();
}

QVariant Recordset::field(int ordinal) const {
  const State& state = open_state();
  const Row& row = current_row(state, table_);
  check_ordinal(state.layout, ordinal, table_);
  if (row.decoded.size() != state.layout.columns.size()) {
    row.decoded.assign(state.layout.columns.size(), std::nullopt);
  }
  std::optional<QVariant>& decoded = row.decoded[static_cast<std::size_t>(ordinal)];
  if (decoded) {
    return *decoded;
  }
  const ports::ColumnInfo& column = state.layout.columns[static_cast<std::size_t>(ordinal)];
  const QVariant stored = row.cells.value(ordinal);
  try {
    decoded = cell_codec::decode(column.kind, stored);
    return *decoded;
  } catch (const RuntimeError& error) {
    throw RuntimeError(error.number(),
                       QStringLiteral("%1: column %2 (%3) of %4 holds %5, not %6.")
                           .arg(error.description())
                           .arg(ordinal)
                           .arg(column.name, table_, shown(stored), kind_name(column.kind)));
  }
}

void Recordset::set_field(int ordinal, const QVariant& value) {
  State& state = open_state();
  Row& row = current_row(state, table_);
  check_ordinal(state.layout, ordinal, table_);
  const ports::ColumnInfo& column = state.layout.columns[static_cast<std::size_t>(ordinal)];
  QVariant stored;
  try {
    stored = cell_codec::encode(column.kind, value);
  } catch (const RuntimeError& error) {
    throw RuntimeError(error.number(),
                       QStringLiteral("%1: %2 cannot be stored in column %3 (%4) of %5, %6.")
                           .arg(error.description(), shown(value))
                           .arg(ordinal)
                           .arg(column.name, table_, kind_name(column.kind)));
  }
  if (state.edit == Edit::kNone) {
    state.edit = Edit::kEditing;
    state.before_edit = row.cells;
    state.changed.assign(state.layout.columns.size(), false);
  }
  row.cells[ordinal] = stored;
  row.cells_changed();
  state.changed[static_cast<std::size_t>(ordinal)] = true;
}

void Recordset::add_new() {
  State& state = open_state();
  write_pending();
  Row row;
  row.cells.resize(static_cast<qsizetype>(state.layout.columns.size()));
  state.rows.push_back(std::move(row));
  state.order.push_back(static_cast<int>(state.rows.size() - 1));
  state.position_before_add = state.position;
  state.position = state.size() - 1;
  state.edit = Edit::kAdding;
  state.changed.assign(state.layout.columns.size(), false);
  ++state.live_rows;
}

void Recordset::update() {
  State& state = open_state();
  if (state.edit == Edit::kNone) {
    current_row(state, table_);
    return;
  }
  write_pending();
}

void Recordset::write_pending() {
  State& state = *state_;
  if (state.edit == Edit::kNone) {
    return;
  }
  Row& row = state.row_at(state.position);
  std::vector<ports::CellValue> cells;
  for (std::size_t i = 0; i < state.changed.size(); ++i) {
    if (state.changed[i]) {
      const int ordinal = static_cast<int>(i);
      cells.push_back({ordinal, row.cells.value(ordinal)});
    }
  }
  ports::TableStore* store = nullptr;
  try {
    store = &connection_();
    if (state.edit == Edit::kAdding) {
      row.key = store->insert_row(table_, cells);
    } else if (!cells.empty()) {
      store->update_row(table_, row.key, cells);
    }
  } catch (...) {
    discard_pending();
    throw;
  }
  const bool added = state.edit == Edit::kAdding;
  state.edit = Edit::kNone;
  const int key_column = state.layout.key_column;
  if (!added && key_column >= 0 && state.changed[static_cast<std::size_t>(key_column)]) {
    row.key = row.cells.value(key_column).toLongLong();
  }
  note_write(state, added, added || !cells.empty());
  if (added) {
    // The stored row has the table's defaults in the columns left out; read them back so the
    // recordset shows what the database holds.
    try {
      row.cells = store->read_row(table_, row.key).cells;
      row.cells_changed();
    } catch (const RuntimeError&) {
      // The row is written; showing Nulls for its defaults is the lesser harm than an error.
    }
    if (retention_ == Retention::kLastRow) {
      keep_only_current_row();
    }
  }
}

void Recordset::keep_only_current_row() {
  State& state = *state_;
  Row row = std::move(state.row_at(state.position));
  state.rows.clear();
  state.rows.push_back(std::move(row));
  state.order.assign(1, 0);
  state.position = 0;
  state.live_rows = 1;
}

void Recordset::discard_pending() {
  State& state = *state_;
  if (state.edit == Edit::kAdding) {
    state.rows.pop_back();
    state.order.erase(
        std::find(state.order.begin(), state.order.end(), static_cast<int>(state.rows.size())));
    state.position = state.position_before_add;
    --state.live_rows;
  } else if (state.edit == Edit::kEditing) {
    Row& row = state.row_at(state.position);
    row.cells = state.before_edit;
    row.cells_changed();
  }
  state.edit = Edit::kNone;
}

void Recordset::delete_current() {
  State& state = open_state();
  if (state.edit == Edit::kAdding) {
    discard_pending();
    return;
  }
  discard_pending();
  Row& row = current_row(state, table_);
  connection_().delete_row(table_, row.key);
  row.deleted = true;
  --state.live_rows;
  state.rows_as_stored = false;
}

void Recordset::update_batch() {
  open_state();
  write_pending();
}

int Recordset::record_count() const {
  return open_state().live_rows;
}

}  // namespace vantora::db
