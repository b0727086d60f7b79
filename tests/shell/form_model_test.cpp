#include "core/shell/form_model.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "base/errors.h"
#include "core/shell/forms.h"
#include "sim/sim_runtime.h"

namespace vantora::forms {
namespace {

struct Recorder final : FormObserver {
  std::vector<std::tuple<QString, QString, QString, QVariant>> changes;
  void property_changed(const QString& form, const QString& control, const QString& property,
                        const QVariant& value) override {
    changes.emplace_back(form, control, property, value);
  }
};

class FormModelTest : public ::testing::Test {
 protected:
  sim::SimRuntime runtime{date_time::from_parts(2026, 12, 6, 10)};
  PlayerForm player{runtime};
  Recorder recorder;
  void SetUp() override { player.add_observer(&recorder); }
};

TEST_F(FormModelTest, EveryChangeIsReportedOnceWithItsDesignName) {
  player.Text3.Text = QStringLiteral("Normal");
  player.Text3.Text = QStringLiteral("Normal");  // no change, no report
  player.Logo.Visible = true;
  player.Visible = true;
  ASSERT_EQ(recorder.changes.size(), 3u);
  EXPECT_EQ(recorder.changes[0],
            std::make_tuple(QStringLiteral("Player"), QStringLiteral("Text3"),
                            QStringLiteral("Text"), QVariant(QStringLiteral("Normal"))));
  EXPECT_EQ(std::get<1>(recorder.changes[1]), QStringLiteral("Logo"));
  EXPECT_EQ(std::get<1>(recorder.changes[2]), QStringLiteral("Player"));
}

TEST_F(FormModelTest, ListsReportTheirItemsAndRejectBadIndexes) {
  player.FillerList.AddItem(QStringLiteral("a.mp4"));
  player.FillerList.AddItem(QStringLiteral("b.mp4"));
  player.FillerList.RemoveItem(0);
  EXPECT_EQ(player.FillerList.ListCount(), 1);
  EXPECT_EQ(player.FillerList.List(0), QStringLiteral("b.mp4"));
  EXPECT_THROW(std::ignore = player.FillerList.List(1), vantora::RuntimeError);
  EXPECT_THROW(player.FillerList.RemoveItem(-1), vantora::RuntimeError);
  EXPECT_EQ(std::get<3>(recorder.changes.back()), QVariant(QStringList{QStringLiteral("b.mp4")}));
}

}  // namespace
}  // namespace vantora::forms
