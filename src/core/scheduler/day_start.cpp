#include "core/scheduler/day_start.h"

#include <QRect>

#include "core/database/columns.h"
#include "core/designer/designer_link.h"
#include "core/scheduler/schedule_clock.h"
#include "core/scheduler/show_start.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

// Where the designer's window is kept, in pixels.
const QRect kDesignerGeometry(4, 4, 792, 580);

// The unload closes only five of the day's recordsets, so a day started again after a restart
// finds the others still open on the rows of the day before: a recordset still open is closed
// and opened again, and the day reads the tables as they are now.
void open_afresh(Procedure& proc, db::Recordset& rs) {
  if (rs.is_open()) {
    proc([&] { rs.close(); });
  }
  proc([&] { rs.open(); });
}

void read_settings(Player& p, Procedure& proc) {
  db::Recordset& ini = p.data.rsPlayer_INI;
  PlayerState& s = p.state;
  open_afresh(proc, ini);
  proc([&] { ini.move_first(); });
  proc([&] {
    s.settings.StartTolerance = values::to_int32(ini.field(db::col::player_ini::kStartTolerance));
  });
  proc([&] {
    s.filler.FillerFolder = values::to_text(ini.field(db::col::player_ini::kFillerFolder));
  });
  proc([&] {
    s.settings.BreakLeadTime = values::to_int16(ini.field(db::col::player_ini::kBreakLeadTime));
  });
  proc([&] {
    p.module1.PanelLeft = to_bool16(values::is_true(ini.field(db::col::player_ini::kPanelLeft)));
  });
}

// Opens a table in the order the day reads it, committed and on its first row.
void open_sorted(Procedure& proc, db::Recordset& rs, const QString& sort) {
  open_afresh(proc, rs);
  proc([&] { rs.set_sort(sort); });
  proc([&] { rs.update_batch(); });
  proc([&] {
    if (!rs.bof()) {
      rs.move_first();
    }
  });
}

void open_recordsets(Player& p, Procedure& proc) {
  db::DataEnvironment& data = p.data;
  open_sorted(proc, data.rsAd_Slot, QStringLiteral("time"));
  open_sorted(proc, data.rsAdv, QStringLiteral("time"));
  open_afresh(proc, data.rsADTemp);
  open_sorted(proc, data.rsLogo, QStringLiteral("startdate"));
  open_afresh(proc, data.rsLottery);

  db::Recordset& filler = data.rsfiller;
  open_afresh(proc, filler);
  bool filler_empty = true;
  proc([&] { filler_empty = filler.bof(); });
  if (!filler_empty) {
    proc([&] { filler.move_first(); });
    proc([&] { filler.set_sort(QStringLiteral("start_time")); });
    proc([&] { filler.update_batch(); });
    proc([&] { filler.move_first(); });
  }

  open_afresh(proc, data.rsNews_Slot);
  open_afresh(proc, data.rsNews);
}

}  // namespace

void Timer2_Timer(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Timer2_Timer()"));
  if (schedule_clock::now_ms(p.runtime) > schedule_clock::ms(p.state.lifecycle.LoadStartAt)) {
    p.form.Timer2.Enabled = false;
    proc([&] { Load_Start(p); });
  }
}

void Load_Start(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Load_Start()"));
  db::DataEnvironment& data = p.data;

  p.form.Visible = true;
  read_settings(p, proc);
  open_recordsets(p, proc);

  proc([&] { p.state.windows.PlayerHwnd = p.desktop.form_window(p.form.name()); });
  proc([&] { designer::Activate(p.desktop); });
  p.runtime.sleep_ms(1000);
  proc([&] {
    p.desktop.SetWindowPos(p.module1.DesignerHwnd, ports::ZOrder::kTopmost, kDesignerGeometry);
  });
  proc([&] { designer::Send_Keys(p.desktop, QStringLiteral("%y{sleep 1}%y")); });

  open_afresh(proc, data.rsplaylist);
  proc([&] { data.rsplaylist.set_sort(QStringLiteral("seg_start_time")); });
  open_afresh(proc, data.rsPlayed);
  proc([&] {
    if (!data.rsPlayed.bof()) {
      data.rsPlayed.move_last();
    }
  });

  proc([&] { play_Click(p); });
}

}  // namespace vantora
