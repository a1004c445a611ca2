#pragma once

#include <QByteArray>
#include <memory>
#include <optional>

#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class Application;

// Asks the platform for the device token of remote notifications and offers it as a promise. A
// token once received serves every later request of the process.
class RemoteNotificationRegistrar {
public:
    static inline const QString SimulatorErrorDomain = QStringLiteral("NotValidInSimulatorDomain");

    explicit RemoteNotificationRegistrar(std::shared_ptr<Application> application);

    using Dependencies = Inject<Application>;

    Promise<QByteArray> registerForRemoteNotifications();

    // The platform's replies, handed over by the application delegate; dropped unless a
    // registration is pending.
    void didRegisterForRemoteNotificationsWithDeviceToken(const QByteArray& deviceToken);
    void didFailToRegisterForRemoteNotificationsWithError(const Error& error);

    const std::shared_ptr<Application>& application() const { return application_; }

private:
    struct Deferred {
        Promise<QByteArray> promise;
        Resolver<QByteArray> resolver;
    };

    std::shared_ptr<Application> application_;
    std::optional<Deferred> deferred_;
};

}  // namespace tovrin
