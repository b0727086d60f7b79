#include "platform/views/form_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include "core/shell/forms.h"
#include "sim/sim_runtime.h"

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

}  // namespace
}  // namespace vantora
