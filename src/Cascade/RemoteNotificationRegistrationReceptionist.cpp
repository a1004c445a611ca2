#include "Cascade/RemoteNotificationRegistrationReceptionist.h"

#include "platform/system/Application.h"

namespace tovrin {

RemoteNotificationRegistrationReceptionist::RemoteNotificationRegistrationReceptionist(
    std::shared_ptr<RemoteNotificationRegistrationOnceToken> once)
    : once_(std::move(once)) {}

void RemoteNotificationRegistrationReceptionist::registerRemoteNotificationsForApplication(
    Application& application) {
    if (!once_->claim()) return;
    application.registerUserNotificationSettings(NotificationTypes);
    application.registerForRemoteNotifications();
}

}  // namespace tovrin
