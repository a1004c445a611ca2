#include "RemoteNotifications/DeviceRegistrationService.h"

#include <QDebug>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "Categories/Data+Hexadecimal.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/URLPathSegment.h"
#include "platform/system/Device.h"

namespace tovrin {

DeviceRegistrationService::DeviceRegistrationService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                                                     std::shared_ptr<Throttler> throttler,
                                                     std::shared_ptr<Device> device)
    : ThrottledService(std::move(tovrinEndpoint), std::move(throttler)), device_(std::move(device)) {}

void DeviceRegistrationService::registerDeviceToken(const QByteArray& deviceToken) {
    QJsonObject body{{QStringLiteral("token"), hexadecimalString(deviceToken)}};
    if (const std::optional<QString> identifier = device_->identifierForVendor())
        body.insert(QStringLiteral("vendorProvidedIdentifier"), *identifier);
    JSONWithRequest(
        TovrinAPIRequest::POSTRequestWithPath(QStringLiteral("/v3/ios-push-tokens"), std::nullopt, body))
        .catchError([](const Error& error) {
            qWarning().noquote() << QStringLiteral(
                                        "Couldn't register device push token with tovrin server. Error = %1")
                                        .arg(error.description());
        });
}

void DeviceRegistrationService::unregisterDeviceToken(const QByteArray& deviceToken) {
    // An empty token would delete the collection: nothing is sent.
    const std::optional<QString> path =
        URLPathByAppendingSegment(QStringLiteral("/v3/push-tokens"), hexadecimalString(deviceToken));
    if (!path) {
        qWarning().noquote() << QStringLiteral("Couldn't unregister an empty device push token");
        return;
    }
    JSONWithRequest(TovrinAPIRequest::DELETERequestWithPath(*path, std::nullopt, std::nullopt))
        .catchError([](const Error& error) {
            qWarning().noquote()
                << QStringLiteral("Couldn't unregister device push token with tovrin server. Error = %1")
                       .arg(error.description());
        });
}

}  // namespace tovrin
