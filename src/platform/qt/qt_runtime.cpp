#include "platform/qt/qt_runtime.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <QTimer>
#include <ctime>

#include "base/errors.h"

namespace vantora::platform {
namespace {

// Qt already keeps a timer from re-entering its own handler and delivers a tick missed while the
// thread was busy once; the guard here only makes the promise explicit.
class QtTimer final : public ports::Timer {
 public:
  QtTimer(QString name, int interval_ms, std::function<void()> on_tick)
      : on_tick_(std::move(on_tick)) {
    // Coarse timers drift by several per cent; the schedule's waits count on the intervals.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(interval_ms);
    timer_.setObjectName(name);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (in_handler_) {
        return;
      }
      in_handler_ = true;
      on_tick_();
      in_handler_ = false;
    });
  }

  void set_enabled(bool enabled) override {
    if (enabled == timer_.isActive()) {
      return;
    }
    if (enabled) {
      if (timer_.interval() > 0) {
        timer_.start();
      }
    } else {
      timer_.stop();
    }
  }
  bool enabled() const override { return timer_.isActive(); }

  void set_interval_ms(int interval_ms) override {
    timer_.setInterval(interval_ms);  // restarts a running timer from now
    if (interval_ms <= 0) {
      timer_.stop();
    }
  }
  int interval_ms() const override { return timer_.interval(); }

 private:
  QTimer timer_;
  std::function<void()> on_tick_;
  bool in_handler_ = false;
};

}  // namespace

DateTime QtRuntime::now() const {
  return date_time::from_qdatetime(QDateTime::currentDateTime());
}

void QtRuntime::sleep_ms(int duration_ms) {
  if (duration_ms > 0) {
    QThread::msleep(static_cast<unsigned long>(duration_ms));
  }
}

void QtRuntime::yield() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::unique_ptr<ports::Timer> QtRuntime::create_timer(QString name, int interval_ms,
                                                      std::function<void()> on_tick) {
  return std::make_unique<QtTimer>(std::move(name), interval_ms, std::move(on_tick));
}

void QtRuntime::post(std::function<void()> event) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(event), Qt::QueuedConnection);
}

void QtRuntime::set_time_of_day(DateTime time_of_day) {
  const QDateTime now = QDateTime::currentDateTime();
  const std::int64_t ms_of_day =
      date_time::to_linear_ms(date_time::time_of_day(time_of_day)) % kMsPerDay;
  const QDateTime wanted(now.date(), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms_of_day)));
  const std::int64_t epoch_ms = wanted.toMSecsSinceEpoch();
  timespec spec{};
  spec.tv_sec = static_cast<time_t>(epoch_ms / 1000);
  spec.tv_nsec = static_cast<long>((epoch_ms % 1000) * 1'000'000);
  if (clock_settime(CLOCK_REALTIME, &spec) != 0) {
    throw RuntimeError(err::kPermissionDenied, QStringLiteral("cannot set the system clock"));
  }
}

}  // namespace vantora::platform
