#pragma once

#include <QDir>
#include <QFile>
#include <memory>
#include <vector>

#include "core/shell/player.h"
#include "database/schedule_fixture.h"
#include "platform/qt_file_lister.h"
#include "sim/sim_desktop.h"
#include "sim/sim_media_engine.h"

namespace vantora::testing {

// A player on the simulated runtime and media engine over a fresh schedule. The clock starts at
// the time the test names; the manifest lists the clips the test plays.
class PlayerFixture : public ScheduleFixture {
 protected:
  void start_player(DateTime now) {
    // A player started again goes before the runtime its timers live on.
    player_.reset();
    media_.reset();
    desktop_.reset();
    trace_.reset();
    runtime_ = std::make_unique<sim::SimRuntime>(now);
    trace_ = std::make_unique<sim::Trace>(*runtime_);
    media_ = std::make_unique<sim::SimMediaEngine>(*runtime_, *trace_, manifest_);
    desktop_ = std::make_unique<sim::SimDesktop>(*runtime_, *trace_);
    globals_.DataFolder = folder_.path();
    player_ = std::make_unique<Player>(*runtime_, globals_, *data_, *desktop_, *media_, files_);
    player_->errors.add_listener([this](const LoggedError& entry) { logged_.push_back(entry); });
  }

  // A folder of empty files under the data folder.
  QString news_folder(const QString& name, const QStringList& files) {
    QDir(folder_.path()).mkpath(name);
    const QString path = folder_.filePath(name);
    for (const QString& file : files) {
      QFile(path + QLatin1Char('/') + file).open(QIODevice::WriteOnly);
    }
    return path;
  }

  PlayerState& state() { return player_->state; }

  sim::MediaManifest manifest_;
  std::unique_ptr<sim::SimRuntime> runtime_;
  std::unique_ptr<sim::Trace> trace_;
  std::unique_ptr<sim::SimMediaEngine> media_;
  std::unique_ptr<sim::SimDesktop> desktop_;
  // The news folders are made on the disk.
  platform::QtFileLister files_;
  Globals globals_;
  std::unique_ptr<Player> player_;
  std::vector<LoggedError> logged_;
};

}  // namespace vantora::testing
