#pragma once

#include "core/shell/player.h"

namespace vantora {

// Reveals the next digit of the show's lottery number: counts it, stores the count in Wizard_INI
// (adding its row when the table is empty) so that a restart goes on with the digit after it,
// and shows the label with the earlier digits masked, the new one visible and the rest to come.
// From the sixth call on the count is still stored but the label is left as it is.
void Show_Lottery(Player& p);

namespace lottery {

// The label right after digit `count` (1 to 5) was revealed: "X" per earlier digit, the digit
// itself (the character after "NUM" and the earlier digits of `logo_file`, nothing when the text
// is too short), "?" per digit to come. A count below 1 cannot be shown (error 5).
QString reveal_text(int count, const QString& logo_file);

}  // namespace lottery
}  // namespace vantora
