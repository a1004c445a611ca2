#pragma once

#include <QByteArray>
#include <memory>

#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class Device;
class TovrinWebAPIThrottler;

// Tells the web service the device token of push notifications, as the signed-in member, and takes
// it back at sign-out. Failures are only logged.
class DeviceRegistrationService : public ThrottledService {
public:
    DeviceRegistrationService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                              std::shared_ptr<Throttler> throttler, std::shared_ptr<Device> device);

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler, Device>;

    // POST "/v3/ios-push-tokens" {"token", "vendorProvidedIdentifier"}; the identifier is left out
    // when the device has none.
    void registerDeviceToken(const QByteArray& deviceToken);
    // DELETE "/v3/push-tokens/<token>".
    void unregisterDeviceToken(const QByteArray& deviceToken);

private:
    std::shared_ptr<Device> device_;
};

}  // namespace tovrin
