#include "tools/soak/recovery_soak.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>

namespace vantora::testing {
namespace {

// Fifty crashes of an eight-hour generated day, each followed by a launch after an outage of up
// to 20 minutes: after every launch the day start is the one the stored rows call for, a resumed
// movie goes on 5 s past its saved position, and no row, log line or break item is lost or
// doubled. scripts/soak runs the same at a week's size.
TEST(RecoverySoak, FiftyCrashesOfAGeneratedDayLoseNothing) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  soak::SoakParameters parameters;
  parameters.seed = 1;
  parameters.crashes = 50;
  parameters.shows_per_day = 8;
  parameters.programme_hours = 8;
  parameters.breaks_per_show = 1;  // a show that runs late for its breaks is not resumed
  parameters.work_folder = folder.path();
  const soak::SoakFigures figures = soak::run_soak(parameters);
  std::printf("%s\n", qPrintable(soak::describe(figures)));

  EXPECT_TRUE(figures.violations.isEmpty()) << qPrintable(figures.violations.join(u'\n'));
  EXPECT_EQ(figures.crashes, 50);
  EXPECT_GE(figures.launches_checked, 40);
  EXPECT_GE(figures.outcomes.count(QStringLiteral("Intrupted")), 1U);
  EXPECT_LE(figures.worst_saved_lag_s, 0.5 + 1e-3);
  EXPECT_LE(figures.largest_resume_error_s, 0.5);
}

}  // namespace
}  // namespace vantora::testing
