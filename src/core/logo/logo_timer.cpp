#include "core/logo/logo_timer.h"

#include "core/database/columns.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

namespace col = db::col::logo;

// A stored position goes through single precision, then to the whole pixel the control holds.
int position_px(const QVariant& stored) {
  return values::to_int32(static_cast<double>(static_cast<float>(values::to_double(stored))));
}

DateTime now_to_second(const Player& p) {
  return date_time::truncate_to_second(p.runtime.now());
}

// Scans from the first row and stops on the first one in force; false at the end of the table.
// The scan lets other events run once per row, so a long table does not hold the timers up.
bool find_row_in_force(Player& p, Procedure& proc) {
  db::Recordset& rs = p.data.rsLogo;
  while (!at_end(proc, rs, Unreadable::kAsTrue)) {
    p.runtime.yield();
    // A row whose dates cannot be read is logged and passed over.
    const bool in_force = proc.test(
        [&] {
          return now_to_second(p) >= values::to_date_time(rs.field(col::kStartDate)) &&
                 now_to_second(p) <= values::to_date_time(rs.field(col::kEndDate));
        },
        Unreadable::kAsFalse);
    if (in_force) {
      return true;
    }
    if (!proc([&] { rs.move_next(); })) {
      return false;
    }
  }
  return false;
}

void grab(Player& p, float X, float Y) {
  p.state.overlay.GrabX = values::to_int16(static_cast<double>(X));
  p.state.overlay.GrabY = values::to_int16(static_cast<double>(Y));
}

void drop(Player& p, forms::VisualControl& control, float X, float Y) {
  const QPointF twips = p.desktop.twips_per_pixel();
  const auto tx = static_cast<float>(twips.x());
  const auto ty = static_cast<float>(twips.y());
  const auto left =
      (X - static_cast<float>(p.state.overlay.GrabX)) / tx + static_cast<float>(control.Left.get());
  const auto top =
      (Y - static_cast<float>(p.state.overlay.GrabY)) / ty + static_cast<float>(control.Top.get());
  control.Left = values::to_int32(static_cast<double>(left));
  control.Top = values::to_int32(static_cast<double>(top));
}

}  // namespace

void LogoTimer_Timer(Player& p) {
  Procedure proc(p.errors, QStringLiteral("LogoTimer_Timer"));
  if (p.state.transport.Paused == kTrue) {
    return;
  }
  forms::PictureBox& logo = p.form.Logo;
  db::Recordset& rs = p.data.rsLogo;
  proc([&] {
    rs.requery();
    if (!rs.bof()) {
      rs.move_first();
    }
  });
  if (!find_row_in_force(p, proc)) {
    logo.Picture = QString();
    return;
  }
  proc([&] { logo.Top = position_px(rs.field(col::kLogoTop)); });
  proc([&] { logo.Left = position_px(rs.field(col::kLogoLeft)); });
  // A picture that cannot be loaded leaves the old one; the box is still shown at its new place.
  proc([&] {
    const QString file = values::to_text(rs.field(col::kPictureFile));
    p.pictures.LoadPicture(file);
    logo.Picture = file;
  });
  logo.Visible = true;
}

// The drags have no trap of their own, but an event of the window must never take the program
// down: a coordinate out of range is logged like any failed statement.
void Logo_MouseDown(Player& p, float X, float Y) {
  Procedure proc(p.errors, QStringLiteral("Logo_MouseDown"));
  proc([&] { grab(p, X, Y); });
}

void Logo_MouseUp(Player& p, float X, float Y) {
  Procedure proc(p.errors, QStringLiteral("Logo_MouseUp"));
  proc([&] { drop(p, p.form.Logo, X, Y); });
}

void T_Time_MouseDown(Player& p, float X, float Y) {
  Procedure proc(p.errors, QStringLiteral("T_Time_MouseDown"));
  proc([&] { grab(p, X, Y); });
}

void T_Time_MouseUp(Player& p, float X, float Y) {
  Procedure proc(p.errors, QStringLiteral("T_Time_MouseUp"));
  proc([&] { drop(p, p.form.T_Time, X, Y); });
}

}  // namespace vantora
