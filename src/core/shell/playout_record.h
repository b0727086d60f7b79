#pragma once

#include <QString>
#include <QVariantMap>
#include <algorithm>
#include <vector>

namespace vantora {

// What went on air, as the player itself sees it: each media start, each break's and news
// item's start and end, the word the day started with, the operator's actions. The simulator's
// trace and the real player's as-run log both observe the same record, so what a simulated day
// traces is what a real day logs. Field names follow the trace.
struct PlayoutEvent {
  QString type;
  QVariantMap fields;
};

class PlayoutObserver {
 public:
  virtual ~PlayoutObserver() = default;
  virtual void on_playout(const PlayoutEvent& event) = 0;
};

class PlayoutRecord {
 public:
  void add_observer(PlayoutObserver* observer) { observers_.push_back(observer); }
  void remove_observer(PlayoutObserver* observer) { std::erase(observers_, observer); }

  void record(QString type, QVariantMap fields) const {
    if (observers_.empty()) {
      return;
    }
    const PlayoutEvent event{std::move(type), std::move(fields)};
    for (PlayoutObserver* observer : observers_) {
      observer->on_playout(event);
    }
  }

 private:
  std::vector<PlayoutObserver*> observers_;
};

}  // namespace vantora
