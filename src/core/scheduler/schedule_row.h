#pragma once

#include <array>
#include <initializer_list>
#include <span>

#include "core/database/recordset.h"
#include "core/shell/player_state.h"
#include "core/shell/procedure.h"

namespace vantora::schedule_row {

// A player-state variable loaded from its column of a playlist or AD_Temp row (the two share one
// layout). Each names the variable it sets.
enum class Load {
  kSegStart,
  kSegEnd,
  kMediaFile,
  kClipFile,  // the file, for an item played in filler mode (a break item sets both)
  kStartOffset,
  kEndOffset,
  kSegCaption,
  kSegText6,
  kSegStarted,
  kSegDone,
  kSegDoneScan,  // the completed column, as the termination scan keeps it
  kPictureTop,
  kPictureHeight,
  kHideCaption,
  kAdFlag,
  kStartNow,
  kShowStartRow,
  kShowEndRow,
  // StartOffset just past the saved position, so a resumed show does not replay what was seen;
  // a row without a saved position leaves StartOffset as it is.
  kResumeOffset,
};

// A playlist segment as the cursor loads it, in the order its columns are read.
inline constexpr std::array kSegment = {
    Load::kSegStart,      Load::kSegEnd,      Load::kMediaFile,  Load::kStartOffset,
    Load::kEndOffset,     Load::kSegCaption,  Load::kSegText6,   Load::kPictureTop,
    Load::kPictureHeight, Load::kHideCaption, Load::kAdFlag,     Load::kStartNow,
    Load::kShowStartRow,  Load::kShowEndRow,  Load::kSegStarted, Load::kSegDone,
};

// How a playing item is shown and flagged, the columns a resumed show takes again.
inline constexpr std::array kPlayColumns = {
    Load::kEndOffset,     Load::kSegCaption,  Load::kSegText6, Load::kPictureTop,
    Load::kPictureHeight, Load::kHideCaption, Load::kAdFlag,   Load::kStartNow,
    Load::kShowStartRow,  Load::kShowEndRow,
};

// Reads the listed variables from the current row in the order given, one guarded read each, so
// that a bad value costs that variable only (it keeps its previous value, and the read is logged
// under the caller's procedure).
void load(PlayerState& s, const db::Recordset& rs, Procedure& proc, std::span<const Load> loads);
inline void load(PlayerState& s, const db::Recordset& rs, Procedure& proc,
                 std::initializer_list<Load> loads) {
  load(s, rs, proc, std::span<const Load>(loads.begin(), loads.size()));
}

// A row's yes/no column as a flag variable: Null is not True.
Bool16 to_flag(const QVariant& value);

}  // namespace vantora::schedule_row
