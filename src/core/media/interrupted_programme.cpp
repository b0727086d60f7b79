#include "core/media/interrupted_programme.h"

#include "base/object_ref.h"

namespace vantora {
namespace {

// The part of a clip seen again after an interruption.
constexpr double kResumeRewind_s = 10.0;

}  // namespace

void Save_Programme(Player& p, Procedure& proc) {
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;
  SavedProgramme& saved = s.saved;

  saved.LogoWasVisible = to_bool16(f.Logo.Visible);
  saved.TimeWasVisible = to_bool16(f.T_Time.Visible);
  saved.NumberWasVisible = to_bool16(f.T_Number.Visible);

  saved.SavedMediaFile = s.row.MediaFile;
  saved.SavedClipFile = s.filler.ClipFile;
  saved.SavedPictureTop = s.row.PictureTop;
  saved.SavedPictureHeight = s.row.PictureHeight;
  proc([&] {
    // Filler starts a fresh clip afterwards: its position is not even read.
    if (s.filler.FillerMode == kTrue) {
      saved.SavedResumeOffset = 0;
      return;
    }
    const double position_s = object(s.graph.m_objMediaPosition).CurrentPosition();
    saved.SavedResumeOffset =
        position_s <= kResumeRewind_s ? QVariant(0) : QVariant(position_s - kResumeRewind_s);
  });
  saved.SavedFillerLength = s.filler.FillerLength;
  saved.SavedEndOffset = s.row.EndOffset;
  saved.SavedHideCaption = s.row.HideCaption;
}

void Restore_Programme(Player& p, Procedure& proc) {
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;
  const SavedProgramme& saved = s.saved;

  proc([&] { s.row.MediaFile = values::to_text(saved.SavedMediaFile); });
  proc([&] { s.filler.ClipFile = values::to_text(saved.SavedClipFile); });
  proc([&] { s.row.PictureTop = values::to_int16(saved.SavedPictureTop); });
  proc([&] { s.row.PictureHeight = values::to_int16(saved.SavedPictureHeight); });
  proc([&] {
    s.row.StartOffset =
        s.filler.FillerMode == kTrue ? 0 : values::to_int32(saved.SavedResumeOffset);
  });
  proc([&] { s.filler.FillerLength = values::to_int32(saved.SavedFillerLength); });
  proc([&] { s.row.EndOffset = values::to_int32(saved.SavedEndOffset); });
  s.row.HideCaption = saved.SavedHideCaption;

  if (saved.LogoWasVisible == kTrue) {
    f.Logo.Visible = true;
  }
  if (saved.TimeWasVisible == kTrue) {
    f.T_Time.Visible = true;
  }
  if (saved.NumberWasVisible == kTrue) {
    f.T_Number.Visible = true;
    f.WnW.Visible = true;
  }
}

void Hold_Logo_Timer(Player& p) {
  p.state.saved.LogoTimerWasOn = to_bool16(p.form.LogoTimer.Enabled);
  p.form.LogoTimer.Enabled = false;
}

bool Programme_Interrupted(const Player& p) {
  return p.state.news.NewsRunning == kTrue || p.state.breaks.InAdBreak == kTrue;
}

void Clear_Overlays_For(Player& p, const QString& kind) {
  forms::PlayerForm& f = p.form;
  f.Label1.Visible = false;
  f.Picture1.Visible = false;
  f.Text3.Text = kind;
  f.Logo.Visible = false;
  f.T_Time.Visible = false;
  f.T_Number.Visible = false;
  f.WnW.Visible = false;
}

}  // namespace vantora
