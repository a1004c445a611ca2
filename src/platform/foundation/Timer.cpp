#include "platform/foundation/Timer.h"

#include <QTimer>
#include <cmath>

#include "platform/foundation/Error.h"
#include "platform/foundation/MainQueue.h"

namespace tovrin {

Timer::Timer(double interval, bool repeats, QVariant userInfo, Action action)
    : interval_(interval), repeats_(repeats), userInfo_(std::move(userInfo)), action_(std::move(action)) {}

Timer::~Timer() {
    stopQTimer();
}

void Timer::schedule() {
    TVR_ASSERT(MainQueue::isMainThread(), "Timers are scheduled on the main thread");
    if (!valid_ || qtimer_ != nullptr) return;
    qtimer_ = new QTimer();
    qtimer_->setTimerType(Qt::PreciseTimer);
    qtimer_->setSingleShot(!repeats_);
    // Rounded up so a timer never fires early.
    const double milliseconds = std::ceil(std::max(0.0, interval_) * 1000.0);
    qtimer_->setInterval(milliseconds > INT_MAX ? INT_MAX : static_cast<int>(milliseconds));
    // The QTimer is disconnected before this Timer goes, so the raw pointer is never stale.
    QObject::connect(qtimer_, &QTimer::timeout, [this] { fire(); });
    qtimer_->start();
}

void Timer::fire() {
    if (!valid_) return;
    // The action may drop the last reference to this timer; keep what is needed afterwards.
    const bool repeats = repeats_;
    if (!repeats) invalidate();
    Action action = action_;
    if (action) action(*this);
}

void Timer::invalidate() {
    valid_ = false;
    stopQTimer();
}

void Timer::stopQTimer() {
    if (qtimer_ == nullptr) return;
    TVR_ASSERT(MainQueue::isMainThread(), "A scheduled timer is invalidated on the main thread");
    qtimer_->stop();
    QObject::disconnect(qtimer_, nullptr, nullptr, nullptr);
    // Deleting later lets a timer be invalidated from inside its own timeout.
    qtimer_->deleteLater();
    qtimer_ = nullptr;
}

std::shared_ptr<RunLoop> RunLoop::main() {
    static const std::shared_ptr<RunLoop> loop(new RunLoop());
    return loop;
}

void RunLoop::addTimer(Timer& timer) {
    timer.schedule();
}

}  // namespace tovrin
