#include "core/ads/clipboard_protocol.h"

#include <QRect>

#include "base/object_ref.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

// The words are the whole clipboard text, exactly: anything else belongs to another program and
// stays where it is.
const QString kDisconnect = QStringLiteral("DISC");
const QString kConnect = QStringLiteral("CON");
// The answer also wipes the command, so one command is acted on once.
const QString kAnswer = QStringLiteral("OK");

// The player window shrinks to its corner and the designer takes the screen; neither is
// activated, so the keyboard stays where the other program has it.
void step_aside(Player& p, Procedure& tick) {
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;
  tick([&] { p.desktop.set_clipboard_text(kAnswer); });
  s.transport.Paused = kTrue;
  tick([&] { object(s.graph.m_objMediaControl).Pause(); });
  const int player_left = p.module1.PanelLeft == kTrue ? 2 : 298;
  tick([&] {
    p.desktop.SetWindowPos(s.windows.PlayerHwnd, ports::ZOrder::kTopmost,
                           QRect(player_left, 2, 500, 350));
  });
  tick([&] {
    p.desktop.SetWindowPos(p.module1.DesignerHwnd, ports::ZOrder::kTopmost, QRect(4, 4, 792, 580));
  });
  f.Logo.Visible = false;
  f.T_Time.Visible = false;
  f.T_Number.Visible = false;
  f.WnW.Visible = false;
}

// The overlays come back as they were when the last break or news began.
void come_back(Player& p, Procedure& tick) {
  forms::PlayerForm& f = p.form;
  PlayerState& s = p.state;
  tick([&] { p.desktop.set_clipboard_text(kAnswer); });
  s.transport.Paused = kFalse;
  tick([&] { object(s.graph.m_objMediaControl).Run(); });
  if (s.saved.LogoWasVisible == kTrue) {
    f.Logo.Visible = true;
  }
  if (s.saved.TimeWasVisible == kTrue) {
    f.T_Time.Visible = true;
  }
  if (s.saved.NumberWasVisible == kTrue) {
    f.T_Number.Visible = true;
    f.WnW.Visible = true;
  }
}

}  // namespace

void Serve_Clipboard_Protocol(Player& p) {
  // Part of the ad timer's tick: a failure here is the tick's, and the tick goes on.
  Procedure tick(p.errors, QStringLiteral("AdTimer_Timer()"), OnError::kWaitTimeoutDropped);
  QString text;
  if (tick([&] { text = p.desktop.clipboard_text(); }) && text == kDisconnect) {
    step_aside(p, tick);
  }
  // Read again: a "CON" this tick's "OK" replaced is gone, one written meanwhile is not.
  text.clear();
  if (tick([&] { text = p.desktop.clipboard_text(); }) && text == kConnect) {
    come_back(p, tick);
  }
}

}  // namespace vantora
