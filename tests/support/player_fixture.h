#pragma once

#include <memory>
#include <vector>

#include "core/shell/player.h"
#include "sim/sim_desktop.h"
#include "sim/sim_file_lister.h"
#include "sim/sim_media_engine.h"
#include "sim/sim_picture_loader.h"
#include "support/schedule_fixture.h"

namespace vantora::testing {

// The play position a test sets.
class FixedPosition final : public ports::MediaPosition {
 public:
  double CurrentPosition() const override { return position_s; }
  void put_CurrentPosition(double seconds) override { position_s = seconds; }
  double Duration() const override { return 0.0; }
  double position_s = 0.0;
};

// A player on the simulated runtime, media engine, desktop and file lister over a fresh
// schedule. SetUp starts it at 10:00; start_player starts it again where the test wants the
// clock. The manifest lists the clips the test plays.
class PlayerFixture : public ScheduleFixture {
 protected:
  void SetUp() override {
    ScheduleFixture::SetUp();
    start_player(at(10, 0));
  }

  void TearDown() override {
    player_.reset();
    ScheduleFixture::TearDown();
  }

  void start_player(DateTime now) {
    // A player started again goes before the runtime its timers live on.
    player_.reset();
    media_.reset();
    desktop_.reset();
    trace_.reset();
    runtime_ = std::make_unique<sim::SimRuntime>(now);
    trace_ = std::make_unique<sim::Trace>(*runtime_);
    runtime_->on_clock_set = [this](DateTime from, DateTime to) { trace_->clock_set(from, to); };
    media_ = std::make_unique<sim::SimMediaEngine>(*runtime_, *trace_, manifest_);
    desktop_ = std::make_unique<sim::SimDesktop>(*runtime_, *trace_);
    globals_.DataFolder = folder_.path();
    player_ = std::make_unique<Player>(
        ports::PlayerPorts{*runtime_, *desktop_, *media_, files_, pictures_}, globals_, *data_);
    player_->errors.set_data_folder(folder_.path());
    player_->errors.add_listener([this](const LoggedError& entry) { logged_.push_back(entry); });
    player_->state.graph.m_objMediaPosition = position_;
  }

  // The player, built once the clock stands where the test wants it.
  Player& player(DateTime clock_start) {
    start_player(clock_start);
    return *player_;
  }

  // A folder of clips under the data folder, as the file lister sees it.
  QString news_folder(const QString& name, const QStringList& files) {
    const QString path = folder_.filePath(name);
    files_.add_files(path, files);
    return path;
  }

  PlayerState& state() { return player_->state; }

  // The error numbers logged so far.
  std::vector<std::int32_t> logged_errors() const {
    std::vector<std::int32_t> numbers;
    for (const LoggedError& entry : logged_) {
      numbers.push_back(entry.number);
    }
    return numbers;
  }

  // Rows written through the recordsets rather than the tool's connection.
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

  // Empties playlist, adv, Slot_adv and AD_Temp.
  void reset_tables();
  // Re-reads playlist, adv, Slot_adv and AD_Temp, opened and sorted as the day start leaves them.
  void reopen();
  void open_playlist() {
    data_->rsplaylist.open();
    data_->rsplaylist.set_sort(QStringLiteral("seg_start_time"));
  }

  // Every AD_Temp row, column by column.
  std::vector<std::vector<QVariant>> ad_temp_rows();
  std::vector<QString> ad_temp_files();

  sim::MediaManifest manifest_;
  std::unique_ptr<sim::SimRuntime> runtime_;
  std::unique_ptr<sim::Trace> trace_;
  std::unique_ptr<sim::SimMediaEngine> media_;
  std::unique_ptr<sim::SimDesktop> desktop_;
  sim::SimFileLister files_;
  sim::SimPictureLoader pictures_;
  Globals globals_;
  std::shared_ptr<FixedPosition> position_ = std::make_shared<FixedPosition>();
  std::unique_ptr<Player> player_;
  std::vector<LoggedError> logged_;
};

}  // namespace vantora::testing
