#pragma once

#include <memory>
#include <optional>

#include "platform/di/Inject.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/NotificationCenter.h"

namespace tovrin {

class DeviceCurrentDateProvider;
class ExpirationNotifier;
class Timer;
class TimerFactory;

class ExpirationNotifierDelegate {
public:
    virtual ~ExpirationNotifierDelegate() = default;
    virtual void expirationNotifierDidExpire(ExpirationNotifier& notifier) = 0;
};

// Tells its grid screen that the shown page has expired: when the page's expiry date is reached,
// and at every return to the foreground. Owns its timer; the delegate is held weakly. Main thread.
class ExpirationNotifier {
public:
    // The longest wait one timer is armed for; a later expiry is reached by arming again.
    static constexpr double MaximumTimerInterval = 24 * 60 * 60;

    ExpirationNotifier(std::shared_ptr<NotificationCenter> notificationCenter,
                       std::shared_ptr<TimerFactory> timerFactory,
                       std::shared_ptr<DeviceCurrentDateProvider> dateProvider);
    ~ExpirationNotifier();
    ExpirationNotifier(const ExpirationNotifier&) = delete;
    ExpirationNotifier& operator=(const ExpirationNotifier&) = delete;

    using Dependencies = Inject<NotificationCenter, TimerFactory, DeviceCurrentDateProvider>;

    std::shared_ptr<ExpirationNotifierDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ExpirationNotifierDelegate> delegate) { delegate_ = std::move(delegate); }

    // Arms the notifier for a new page; a date that has passed expires at the next turn of the
    // main run loop.
    void setExpirationDate(Date date);
    bool isExpired() const { return expired_; }
    // True cancels a pending expiry without telling the delegate; false alone arms nothing.
    void setExpired(bool expired);
    void didExpire();

    const std::shared_ptr<Timer>& expirationTimer() const { return expirationTimer_; }

private:
    void armTimer();
    void timerFired();

    std::weak_ptr<ExpirationNotifierDelegate> delegate_;
    bool expired_ = true;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::shared_ptr<TimerFactory> timerFactory_;
    std::shared_ptr<DeviceCurrentDateProvider> dateProvider_;
    std::shared_ptr<Timer> expirationTimer_;
    std::optional<Date> expirationDate_;
    NotificationToken foregroundObservation_;
};

}  // namespace tovrin
