#include "core/filler/play_log.h"

#include <array>
#include <span>

#include "core/database/columns.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

namespace col = db::col::played;

// A movie log row skips column 17, which the scheduling tool keeps for itself.
constexpr std::array kMovieColumns = {
    col::kSegStartTime,  col::kSegEndTime,    col::kFileName, col::kStartOffset, col::kEndOffset,
    col::kCaption,       col::kText6,         col::kStarted,  col::kCompleted,   col::kPictureTop,
    col::kPictureHeight, col::kHideCaption,   col::kAdFlag,   col::kStartNow,    col::kShowStart,
    col::kShowEnd,       col::kSavedPosition, col::kLogoFile, col::kLogoLeft,    col::kLogoTop,
};

// A break item has no columns past saved_position.
constexpr std::array kBreakItemColumns = {
    col::kSegStartTime,  col::kSegEndTime,    col::kFileName, col::kStartOffset, col::kEndOffset,
    col::kCaption,       col::kText6,         col::kStarted,  col::kCompleted,   col::kPictureTop,
    col::kPictureHeight, col::kHideCaption,   col::kAdFlag,   col::kStartNow,    col::kShowStart,
    col::kShowEnd,       col::kSavedPosition,
};

// One guarded statement per column: a value the log cannot take costs that column only, and the
// row is still saved with the rest.
void copy_row(Player& p, const QString& label, const db::Recordset& source,
              std::span<const int> ordinals) {
  Procedure proc(p.errors, label);
  db::Recordset& played = p.data.rsPlayed;
  proc([&] { played.add_new(); });
  for (const int ordinal : ordinals) {
    proc([&] { played.set_field(ordinal, source.field(ordinal)); });
  }
  proc([&] { played.update(); });
}

}  // namespace

void Played_entry(Player& p) {
  copy_row(p, QStringLiteral("Played_entry()"), p.data.rsplaylist, kMovieColumns);
}

void adPlayed_entry(Player& p) {
  copy_row(p, QStringLiteral("adPlayed_entry()"), p.data.rsADTemp, kBreakItemColumns);
}

}  // namespace vantora
