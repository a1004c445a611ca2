#pragma once

#include <QString>
#include <QVariantMap>
#include <memory>
#include <optional>

#include "InjectorKeys.h"
#include "platform/di/Inject.h"
#include "platform/net/URLRequest.h"

namespace tovrin {

class Device;

inline const QString userAgentHeaderKey = QStringLiteral("User-Agent");
inline const QString acceptHeaderKey = QStringLiteral("Accept");
inline const QString contentTypeHeaderKey = QStringLiteral("Content-Type");
inline const QString jsonContentTypeHeaderValue = QStringLiteral("application/json");

inline const QString bundleShortVersionStringInfoDictKey = QStringLiteral("CFBundleShortVersionString");
inline const QString bundleVersionInfoDictKey = QStringLiteral("CFBundleVersion");

// Adds the headers every web request carries.
class HTTPHeaderFurnisher {
public:
    // Reads the two version texts of the information dictionary once.
    HTTPHeaderFurnisher(std::shared_ptr<Device> device, const QVariantMap& infoDictionary);
    virtual ~HTTPHeaderFurnisher() = default;

    using Dependencies = Inject<Device, Value<Named<QVariantMap, InjectorKeyInfoDictionary>>>;

    // "User-Agent", "Accept" and, when one is given, "Content-Type", each replacing an earlier value.
    net::URLRequest furnishURLRequest(const net::URLRequest& request,
                                      const std::optional<QString>& contentType) const;

    // "Tovrin3/<short version> (<build>; <device model>; <system name> <system version>)".
    QString userAgentString() const;

private:
    std::shared_ptr<Device> device_;
    QString bundleShortVersion_;
    QString bundleVersion_;
};

}  // namespace tovrin
