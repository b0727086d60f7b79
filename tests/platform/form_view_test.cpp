#include "platform/views/form_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/shell/forms.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/sim_runtime.h"
#include "sim/simulation.h"

namespace vantora {
namespace {

TEST(FormView, RendersThePlayerWindowFromTheModelAndFollowsIt) {
  sim::SimRuntime runtime(date_time::from_parts(2026, 12, 7, 8));
  forms::PlayerForm form(runtime);
  platform::FormView view(form);
  QWidget& window = view.window();

  EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(window.size(), QSize(500, 350));
  EXPECT_FALSE(window.isVisible());
  for (const char* name :
       {"B_pause",     "B_Restart", "B_Disp",   "B_SetTime", "FF",       "RW",       "play_pause",
        "B_UP",        "B_Down",    "B_thin",   "b_Wide",    "Command1", "Text1",    "Text2",
        "Text3",       "Logo",      "T_Time",   "T_Number",  "WnW",      "Picture1", "Label1",
        "Time_Picker", "File1",     "NewsFile", "FillerList"}) {
    SCOPED_TRACE(name);
    QWidget* widget = view.widget(QString::fromLatin1(name));
    ASSERT_NE(widget, nullptr);
    EXPECT_GT(widget->width(), 0);
  }
  // The caption overlay draws its label inside its box and hides with it.
  EXPECT_EQ(view.widget(QStringLiteral("Label1"))->parentWidget(),
            view.widget(QStringLiteral("Picture1")));

  form.Text3.Text = QStringLiteral("Normal");
  form.T_Time.Caption = QStringLiteral("10:00");
  form.T_Time.Visible = true;
  form.T_Time.Left = 42;
  form.Visible = true;
  form.Left = 298;
  EXPECT_EQ(qobject_cast<QLineEdit*>(view.widget(QStringLiteral("Text3")))->text(),
            QStringLiteral("Normal"));
  auto* clock = qobject_cast<QLabel*>(view.widget(QStringLiteral("T_Time")));
  EXPECT_EQ(clock->text(), QStringLiteral("10:00"));
  EXPECT_TRUE(clock->isVisible());
  EXPECT_EQ(clock->x(), 42);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.x(), 298);
  form.Visible = false;
  EXPECT_FALSE(window.isVisible());
}

// The Exit button on screen runs the handler the player window's table gives it, the one a
// simulator's scripted click runs: the window goes and the program ends.
TEST(FormView, TheExitButtonOnScreenEndsTheProgram) {
  QTemporaryDir folder;
  ASSERT_EQ(platform::create_schedule(folder.path()), platform::CreateResult::kCreated);
  sim::SimulationOptions options;
  options.data_folder = folder.path();
  options.start = date_time::from_parts(2026, 12, 7, 8, 0, 0);
  sim::Simulation simulation(options);
  ASSERT_TRUE(simulation.start());
  simulation.run_for_ms(40'000);
  Player* player = simulation.application().player();
  ASSERT_NE(player, nullptr);
  platform::FormView view(player->form);
  qobject_cast<QPushButton*>(view.widget(QStringLiteral("Command1")))->click();
  EXPECT_FALSE(simulation.program_running());
  EXPECT_EQ(simulation.application().player(), nullptr);
}

}  // namespace
}  // namespace vantora
