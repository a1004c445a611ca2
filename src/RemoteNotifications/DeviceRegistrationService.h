#pragma once

#include <QByteArray>
#include <memory>

#include "Throttling/ThrottledService.h"

namespace tovrin {

class Device;
class Injector;

// Tells the web service the device token of push notifications, as the signed-in member, and takes
// it back at sign-out. Failures are only logged.
class DeviceRegistrationService : public ThrottledService {
public:
    DeviceRegistrationService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                              std::shared_ptr<Throttler> throttler, std::shared_ptr<Device> device);

    // Container initializer: the `AuthenticatedTovrinEndpoint`, `TovrinWebAPIThrottler` and `Device` class
    // keys.
    static std::shared_ptr<DeviceRegistrationService> create(Injector& injector);

    // POST "/v3/ios-push-tokens" {"token", "vendorProvidedIdentifier"}; the identifier is left out
    // when the device has none.
    void registerDeviceToken(const QByteArray& deviceToken);
    // DELETE "/v3/push-tokens/<token>".
    void unregisterDeviceToken(const QByteArray& deviceToken);

private:
    std::shared_ptr<Device> device_;
};

}  // namespace tovrin
