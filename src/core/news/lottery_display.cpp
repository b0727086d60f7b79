#include "core/news/lottery_display.h"

#include <limits>

#include "core/database/columns.h"
#include "core/scheduler/schedule_clock.h"
#include "core/shell/procedure.h"

namespace vantora {

namespace lottery {

QString reveal_text(int count, const QString& logo_file) {
  constexpr int kDigits = 5;
  constexpr int kPrefixLength = 3;  // "NUM"
  if (count < 1) {
    throw RuntimeError(err::kInvalidProcedureCall);
  }
  return QString(count - 1, QLatin1Char('X')) + logo_file.mid(kPrefixLength + count - 1, 1) +
         QString(kDigits - count, QLatin1Char('?'));
}

}  // namespace lottery

void Show_Lottery(Player& p) {
  Procedure proc(p.errors, QStringLiteral("Show_Lottery"));
  LotteryState& lottery = p.state.lottery;
  db::Recordset& counter = p.data.rsLottery;

  lottery.LotteryShownAt = schedule_clock::now(p.runtime);
  proc([&] {
    if (lottery.LotteryCount == std::numeric_limits<std::int16_t>::max()) {
      throw RuntimeError(err::kOverflow);
    }
    ++lottery.LotteryCount;
  });
  lottery.LotteryShowing = kTrue;

  bool empty = false;
  proc([&] { empty = counter.bof(); });
  if (empty) {
    proc([&] { counter.add_new(); });
  }
  proc([&] {
    counter.set_field(db::col::lottery::kCounter, values::number_text(lottery.LotteryCount));
  });
  proc([&] { counter.update(); });

  constexpr int kLastDigit = 5;
  if (lottery.LotteryCount <= kLastDigit) {
    proc([&] {
      p.form.T_Number.Caption = lottery::reveal_text(
          lottery.LotteryCount,
          values::to_text(p.data.rsplaylist.field(db::col::playlist::kLogoFile)));
    });
  }
}

}  // namespace vantora
