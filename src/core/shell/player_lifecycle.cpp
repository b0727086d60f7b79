#include "core/shell/player_lifecycle.h"

#include <array>

#include "core/designer/designer_link.h"
#include "core/shell/procedure.h"

namespace vantora {
namespace {

void yield_times(ports::Runtime& runtime, int count) {
  for (int i = 0; i < count; ++i) {
    runtime.yield();
  }
}

}  // namespace

void Form_Load(Player& p) {
  p.errors.ProcName = QStringLiteral("Form_Load");
  p.state.lifecycle.LoadStartAt =
      date_time::add_seconds(date_time::truncate_to_second(p.runtime.now()), 10);
  p.form.Timer2.Enabled = true;
  p.state.transport.Halted = kFalse;
}

void Form_Unload(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Form_Unload"));
  ports::Runtime& rt = p.runtime;
  auto send = [&](const QString& keys) { proc([&] { designer::Send_Keys(p.desktop, keys); }); };

  // Close the presentation.
  proc([&] { designer::Activate(p.desktop); });
  rt.sleep_ms(1000);
  yield_times(rt, 1);
  send(QStringLiteral("{esc}{sleep 1}{esc}"));
  yield_times(rt, 1);
  rt.sleep_ms(1000);
  yield_times(rt, 1);
  send(QStringLiteral("%{F4}"));
  yield_times(rt, 1);
  rt.sleep_ms(3000);
  yield_times(rt, 9);
  send(QStringLiteral("^{F2}"));
  yield_times(rt, 10);

  // The media graph belongs to the player window and goes with it: the last reference to go
  // stops the clip, which must not play on behind the Restart form or the next window.
  yield_times(rt, 1);
  p.state.graph.release(rt);

  // A recordset the day never opened is not an error worth a line.
  const std::array recordsets{&p.data.rsplaylist, &p.data.rsPlayed, &p.data.rsPlayer_INI,
                              &p.data.rsNews, &p.data.rsNews_Slot};
  for (db::Recordset* recordset : recordsets) {
    proc([&] {
      if (recordset->is_open()) {
        recordset->close();
      }
    });
  }

  rt.sleep_ms(1000);
  yield_times(rt, 8);
  send(QStringLiteral("^{F2}"));
  yield_times(rt, 10);
  rt.sleep_ms(1000);
}

}  // namespace vantora
