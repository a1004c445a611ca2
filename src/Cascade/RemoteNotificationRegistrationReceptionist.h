#pragma once

#include <atomic>
#include <memory>

#include "platform/di/Inject.h"

namespace tovrin {

class Application;

// Taken once: the first claim wins. The container keeps one for the whole process.
class RemoteNotificationRegistrationOnceToken {
public:
    bool claim() { return !claimed_.exchange(true); }

private:
    std::atomic<bool> claimed_ = false;
};

// Asks, once per process, for alerts, badges and sounds and registers for remote notifications. The
// device token that follows reaches the application's delegate, not this class.
class RemoteNotificationRegistrationReceptionist {
public:
    explicit RemoteNotificationRegistrationReceptionist(
        std::shared_ptr<RemoteNotificationRegistrationOnceToken> once);

    using Dependencies = Inject<RemoteNotificationRegistrationOnceToken>;

    // Badge (1), sound (2) and alert (4).
    static constexpr quint64 NotificationTypes = 1 | 2 | 4;

    void registerRemoteNotificationsForApplication(Application& application);

private:
    std::shared_ptr<RemoteNotificationRegistrationOnceToken> once_;
};

}  // namespace tovrin
