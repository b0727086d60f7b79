#include "core/scheduler/schedule_row.h"

#include "core/database/columns.h"

namespace vantora::schedule_row {
namespace {

namespace column = db::col::playlist;

// The resume point lies 5 s past where the show was when it stopped.
constexpr double kResumeAfterSaved_s = 5.0;

void load_one(PlayerState& s, const db::Recordset& rs, Load what) {
  SegmentRow& row = s.row;
  switch (what) {
    case Load::kSegStart:
      row.SegStart = values::to_date_time(rs.field(column::kSegStartTime));
      return;
    case Load::kSegEnd:
      row.SegEnd = values::to_date_time(rs.field(column::kSegEndTime));
      return;
    case Load::kMediaFile:
      row.MediaFile = values::to_text(rs.field(column::kFileName));
      return;
    case Load::kClipFile:
      s.filler.ClipFile = values::to_text(rs.field(column::kFileName));
      return;
    case Load::kStartOffset:
      row.StartOffset = values::to_int32(rs.field(column::kStartOffset));
      return;
    case Load::kEndOffset:
      row.EndOffset = values::to_int32(rs.field(column::kEndOffset));
      return;
    case Load::kSegCaption:
      row.SegCaption = values::to_text(rs.field(column::kCaption));
      return;
    case Load::kSegText6:
      row.SegText6 = values::to_text(rs.field(column::kText6));
      return;
    case Load::kSegStarted:
      row.SegStarted = to_flag(rs.field(column::kStarted));
      return;
    case Load::kSegDone:
      row.SegDone = to_flag(rs.field(column::kCompleted));
      return;
    case Load::kSegDoneScan:
      s.recovery.SegDoneScan = to_flag(rs.field(column::kCompleted));
      return;
    case Load::kPictureTop:
      row.PictureTop = values::to_int16(rs.field(column::kPictureTop));
      return;
    case Load::kPictureHeight:
      row.PictureHeight = values::to_int16(rs.field(column::kPictureHeight));
      return;
    case Load::kHideCaption:
      row.HideCaption = to_flag(rs.field(column::kHideCaption));
      return;
    case Load::kAdFlag:
      s.breaks.AdFlag = to_flag(rs.field(column::kAdFlag));
      return;
    case Load::kStartNow:
      row.StartNow = to_flag(rs.field(column::kStartNow));
      return;
    case Load::kShowStartRow:
      row.ShowStartRow = to_flag(rs.field(column::kShowStart));
      return;
    case Load::kShowEndRow:
      row.ShowEndRow = to_flag(rs.field(column::kShowEnd));
      return;
    case Load::kResumeOffset: {
      const QVariant saved_position = rs.field(column::kSavedPosition);
      if (!values::is_null(saved_position)) {
        row.StartOffset = values::to_int32(values::to_double(saved_position) + kResumeAfterSaved_s);
      }
      return;
    }
  }
}

}  // namespace

Bool16 to_flag(const QVariant& value) {
  return to_bool16(values::is_true(value));
}

void load(PlayerState& s, const db::Recordset& rs, Procedure& proc, std::span<const Load> loads) {
  for (const Load what : loads) {
    proc([&] { load_one(s, rs, what); });
  }
}

}  // namespace vantora::schedule_row
