#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QVariant>
#include <vector>

#include "core/database/data_environment.h"
#include "core/shell/player.h"
#include "platform/sql/sqlite_schedule_store.h"
#include "sim/sim_desktop.h"
#include "sim/sim_file_lister.h"
#include "sim/sim_media_engine.h"
#include "sim/sim_runtime.h"

namespace vantora::testing {

// The play position a scenario sets.
class FixedPosition final : public ports::MediaPosition {
 public:
  double CurrentPosition() const override { return position_s; }
  void put_CurrentPosition(double seconds) override { position_s = seconds; }
  double Duration() const override { return 0.0; }
  double position_s = 0.0;
};

// A player on the virtual clock over a fresh schedule database in a temporary data folder, with
// the recordsets opened and sorted as the day start leaves them.
class ScheduledPlayerFixture : public ::testing::Test {
 protected:
  static DateTime today() { return date_time::from_parts(2026, 12, 6); }
  static DateTime at(int hour, int minute, int second = 0, int ms = 0) {
    return date_time::from_parts(2026, 12, 6, hour, minute, second, ms);
  }
  static QVariant tod(int hour, int minute, int second = 0, int ms = 0) {
    return QVariant::fromValue(date_time::from_time_of_day(hour, minute, second, ms));
  }
  static QVariant date(DateTime value) { return QVariant::fromValue(value); }

  void SetUp() override;

  struct Ad {
    QVariant time;
    int priority = 0;
    QVariant first_date;
    QVariant last_date;
    QString media_path;
    QVariant duration = 30;
    QString caption = QStringLiteral("ad");
  };
  void add_ad(const Ad& ad);
  void add_slot(const QVariant& time, const QVariant& kind);
  struct Segment {
    DateTime start;
    DateTime end;
    QString file = QStringLiteral("/media/movie.mpg");
    bool show_start = false;
    bool show_end = false;
    bool completed = false;
    int picture_height = 480;
  };
  void add_segment(const Segment& segment);

  // Empties playlist, adv, Slot_adv and AD_Temp.
  void reset_tables();
  // Re-reads the tables written through the fixture, as the day start would have them.
  void reopen();

  // Every AD_Temp row, column by column.
  std::vector<std::vector<QVariant>> ad_temp_rows();
  std::vector<QString> ad_temp_files();
  // The error numbers logged so far.
  std::vector<std::int32_t> logged_errors() const { return logged_; }

  QTemporaryDir folder_;
  sim::SimRuntime runtime_{at(10, 0)};
  sim::Trace trace_{runtime_};
  sim::SimDesktop desktop_{runtime_, trace_};
  Globals globals_;
  db::DataEnvironment data_{platform::sqlite_store_factory()};
  sim::SimFileLister files_;
  sim::SimMediaEngine media_{runtime_, trace_, sim::MediaManifest{}};
  Player player_{runtime_, globals_, data_, desktop_, media_, files_};
  std::shared_ptr<FixedPosition> position_ = std::make_shared<FixedPosition>();
  std::vector<std::int32_t> logged_;
};

}  // namespace vantora::testing
