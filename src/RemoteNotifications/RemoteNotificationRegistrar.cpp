#include "RemoteNotifications/RemoteNotificationRegistrar.h"

#include "Categories/Promise+InProgress.h"
#include "platform/system/Application.h"

namespace tovrin {

namespace {

// Alert, badge and sound.
constexpr quint64 NotificationTypes = 4 | 1 | 2;

}  // namespace

RemoteNotificationRegistrar::RemoteNotificationRegistrar(std::shared_ptr<Application> application)
    : application_(std::move(application)) {}

Promise<QByteArray> RemoteNotificationRegistrar::registerForRemoteNotifications() {
    if (deferred_ && deferred_->promise.isFulfilled()) return deferred_->promise;
    auto [promise, resolver] = Promise<QByteArray>::pending();
    deferred_ = Deferred{promise, resolver};
    if (application_->canReceiveRemoteNotifications()) {
        application_->registerUserNotificationSettings(NotificationTypes);
        application_->registerForRemoteNotifications();
    } else {
        resolver.reject(Error(SimulatorErrorDomain, 1));
    }
    return promise;
}

void RemoteNotificationRegistrar::didRegisterForRemoteNotificationsWithDeviceToken(
    const QByteArray& deviceToken) {
    if (deferred_ && ongoing(deferred_->promise)) deferred_->resolver.fulfill(deviceToken);
}

void RemoteNotificationRegistrar::didFailToRegisterForRemoteNotificationsWithError(const Error& error) {
    if (deferred_ && ongoing(deferred_->promise)) deferred_->resolver.reject(error);
}

}  // namespace tovrin
