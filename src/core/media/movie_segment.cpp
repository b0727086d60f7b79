#include "core/media/movie_segment.h"

#include "base/object_ref.h"
#include "core/ads/slot_search.h"
#include "core/database/columns.h"
#include "core/designer/designer_link.h"
#include "core/media/interrupted_programme.h"
#include "core/media/run_movie.h"
#include "core/news/lottery_mask.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

// A stored position goes through single precision, then to the whole pixel the control holds.
int position_px(const QVariant& stored) {
  return values::to_int32(static_cast<double>(static_cast<float>(values::to_double(stored))));
}

void show_no_overlay(Player& p) {
  forms::PlayerForm& f = p.form;
  f.LogoTimer.Enabled = true;
  f.Logo.Visible = false;
  f.T_Time.Visible = false;
  f.WnW.Visible = false;
  f.T_Number.Visible = false;
  p.state.overlay.ClockShown = kFalse;
}

void show_clock(Player& p, Procedure& proc) {
  forms::PlayerForm& f = p.form;
  const db::Recordset& rs = p.data.rsplaylist;
  f.LogoTimer.Enabled = false;
  f.Logo.Visible = false;
  f.T_Time.Caption = date_time::to_qdatetime(p.runtime.now()).toString(QStringLiteral("HH:mm"));
  proc([&] { f.T_Time.Top = position_px(rs.field(db::col::playlist::kLogoTop)); });
  proc([&] { f.T_Time.Left = position_px(rs.field(db::col::playlist::kLogoLeft)); });
  f.T_Time.Visible = true;
  p.state.overlay.ClockShown = kTrue;
  f.WnW.Visible = false;
  f.T_Number.Visible = false;
}

void show_lottery(Player& p, Procedure& proc) {
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;
  db::Recordset& rs = p.data.rsLottery;
  s.lottery.LotteryMode = kTrue;
  bool empty = true;
  proc([&] { empty = rs.bof(); });
  if (!empty) {
    proc([&] { rs.move_first(); });
    proc([&] {
      s.lottery.LotteryCount =
          values::to_int16(values::to_double(rs.field(db::col::lottery::kCounter)));
    });
    f.T_Number.Caption = lottery::mask_text(s.lottery.LotteryCount);
  } else {
    s.lottery.LotteryCount = 0;
    f.T_Number.Caption = lottery::mask_text(0);
  }
  f.WnW.Visible = true;
  f.T_Number.Visible = true;
}

// A picture that cannot be loaded leaves the box's old picture, but the box is still shown.
void show_logo(Player& p, Procedure& proc, const QString& picture_file) {
  forms::PlayerForm& f = p.form;
  const db::Recordset& rs = p.data.rsplaylist;
  f.WnW.Visible = false;
  f.T_Number.Visible = false;
  f.LogoTimer.Enabled = false;
  proc([&] { f.Logo.Top = position_px(rs.field(db::col::playlist::kLogoTop)); });
  proc([&] { f.Logo.Left = position_px(rs.field(db::col::playlist::kLogoLeft)); });
  proc([&] {
    p.pictures.LoadPicture(picture_file);
    f.Logo.Picture = picture_file;
  });
  f.Logo.Visible = true;
  f.T_Time.Visible = false;
  p.state.overlay.ClockShown = kFalse;
}

void set_overlay(Player& p, Procedure& proc) {
  QString logo_file;
  proc([&] { logo_file = values::to_text(p.data.rsplaylist.field(db::col::playlist::kLogoFile)); });
  if (logo_file == QLatin1String("NO")) {
    show_no_overlay(p);
  } else if (logo_file == QLatin1String("CLOCK")) {
    show_clock(p, proc);
  } else if (logo_file.left(3) == QLatin1String("NUM")) {
    show_lottery(p, proc);
  } else {
    show_logo(p, proc, logo_file);
  }
}

}  // namespace

void Hand_Screen_To_Video(Player& p, Procedure& proc, const QString& keys) {
  PlayerState& s = p.state;
  proc([&] { object(s.graph.m_objVideoWindow).SetWindowForeground(0); });
  p.runtime.sleep_ms(250);
  proc([&] { s.windows.VideoHwnd = p.desktop.GetForegroundWindow(); });
  p.runtime.sleep_ms(1000);
  proc([&] { designer::Activate(p.desktop); });
  p.runtime.sleep_ms(250);
  proc([&] { designer::Send_Keys(p.desktop, keys); });
}

void Run_MovieFile(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Run_MovieFile()"));
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;

  f.Text3.Text = QStringLiteral("Movie");
  s.captions.CaptionCycle = kTrue;
  f.AdTimer.Enabled = false;
  s.breaks.AdFlag = kFalse;
  s.filler.FillerMode = kFalse;
  f.FillerTimer.Enabled = false;

  Run_Movie(p);

  Hand_Screen_To_Video(p, proc);

  AD_Slot_Search(p);
  if (Programme_Interrupted(p)) {
    return;
  }

  f.T_Movie.Enabled = true;
  f.AdTimer.Enabled = true;
  if (s.saved.LogoTimerWasOn == kTrue) {
    f.LogoTimer.Enabled = true;
  }
  set_overlay(p, proc);
}

}  // namespace vantora
