#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/shell/player.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/simulation.h"

namespace vantora {
namespace {

// The Exit button, clicked before the day started and while it runs: either way the player
// window goes, the designer gets its closing keys and the program ends once.
TEST(ExitButton, UnloadsThePlayerWindowAndEndsTheProgram) {
  const struct {
    const char* when;
    int clicked_at_ms;
  } cases[] = {{"before the day starts", 26'000}, {"once the day runs", 40'000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.when);
    QTemporaryDir folder;
    ASSERT_EQ(platform::create_schedule(folder.path()), platform::CreateResult::kCreated);
    sim::SimulationOptions options;
    options.data_folder = folder.path();
    options.start = date_time::from_parts(2026, 12, 7, 8, 0, 0);
    sim::Simulation simulation(options);
    int ended = 0;
    simulation.application().end_program = [&ended] { ++ended; };
    ASSERT_TRUE(simulation.start());
    simulation.runtime().run_for_ms(c.clicked_at_ms);

    Player* player = simulation.application().player();
    ASSERT_NE(player, nullptr);
    forms::PlayerForm& form = player->form;
    form.Command1.click();
    simulation.runtime().run_for_ms(1);

    EXPECT_EQ(simulation.application().player(), nullptr);
    EXPECT_EQ(ended, 1);
    for (const forms::TimerControl* timer :
         {&form.T_Movie, &form.AdTimer, &form.FillerTimer, &form.LogoTimer, &form.Timer2}) {
      EXPECT_FALSE(timer->Enabled.get());
    }
    const auto* designer = simulation.desktop().window(simulation.globals().DesignerHwnd);
    ASSERT_NE(designer, nullptr);
    ASSERT_GE(designer->keys_received.size(), 2);
    EXPECT_EQ(designer->keys_received.mid(designer->keys_received.size() - 2),
              QStringList({"Ctrl+F2", "Ctrl+F2"}));
  }
}

}  // namespace
}  // namespace vantora
