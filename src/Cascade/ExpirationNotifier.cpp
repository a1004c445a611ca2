#include "Cascade/ExpirationNotifier.h"

#include <algorithm>

#include "Helpers/DeviceCurrentDateProvider.h"
#include "Helpers/TimerFactory.h"
#include "platform/system/Application.h"

namespace tovrin {

ExpirationNotifier::ExpirationNotifier(std::shared_ptr<NotificationCenter> notificationCenter,
                                       std::shared_ptr<TimerFactory> timerFactory,
                                       std::shared_ptr<DeviceCurrentDateProvider> dateProvider)
    : notificationCenter_(std::move(notificationCenter)),
      timerFactory_(std::move(timerFactory)),
      dateProvider_(std::move(dateProvider)) {
    // The token ends the observation with the notifier, so the raw pointer never outlives it.
    foregroundObservation_ = notificationCenter_->addObserver(
        Application::WillEnterForegroundNotification, nullptr, [this](const Notification&) { didExpire(); });
}

ExpirationNotifier::~ExpirationNotifier() {
    foregroundObservation_.reset();
    if (expirationTimer_) expirationTimer_->invalidate();
}

void ExpirationNotifier::setExpirationDate(Date date) {
    expired_ = false;
    expirationDate_ = date;
    armTimer();
}

void ExpirationNotifier::setExpired(bool expired) {
    expired_ = expired;
    if (!expired) return;
    expirationDate_.reset();
    if (expirationTimer_) expirationTimer_->invalidate();
    expirationTimer_.reset();
}

void ExpirationNotifier::didExpire() {
    setExpired(true);
    if (const auto delegate = delegate_.lock()) delegate->expirationNotifierDidExpire(*this);
}

// A QTimer counts at most about 24 days; a longer wait is armed in steps, never wrapped into a
// short one.
void ExpirationNotifier::armTimer() {
    if (expirationTimer_) expirationTimer_->invalidate();
    const double remaining = expirationDate_->timeIntervalSinceDate(dateProvider_->currentDate());
    const double interval = std::min(remaining, MaximumTimerInterval);
    // The timer is the notifier's own and goes with it, so the action may hold the raw pointer.
    expirationTimer_ = timerFactory_->timerOnMainRunLoopWithInterval(
        interval, [this](Timer&) { timerFired(); }, QVariant(), false);
}

void ExpirationNotifier::timerFired() {
    if (expirationDate_ && dateProvider_->currentDate() < *expirationDate_) {
        armTimer();
        return;
    }
    didExpire();
}

}  // namespace tovrin
