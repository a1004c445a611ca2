#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QUrl>
#include <memory>
#include <optional>

#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class ServiceJSONMapper;
class TovrinService;
class URLProvider;

// The signed-out side of the bootstrap call on the configured host.
class BootstrapService {
public:
    // Copies the host address from the provider once.
    BootstrapService(std::shared_ptr<TovrinService> tovrinService, std::shared_ptr<URLProvider> urlProvider,
                     std::shared_ptr<ServiceJSONMapper> serviceJSONMapper);
    virtual ~BootstrapService() = default;

    using Dependencies = Inject<TovrinService, URLProvider, ServiceJSONMapper>;

    // The provider's current host address, without a request; code 1 when none is configured.
    virtual Promise<QUrl> retrieveApiURL();
    // GET "v3/bootstrap" on the host, without authentication or throttling: the address of the
    // first "authenticationWeb" entry. Code 1 without a request when no host is configured.
    virtual Promise<QUrl> retrieveAuthenticationWebURL();

    // The host address with the path component "v3/bootstrap" appended to its path.
    static QUrl bootstrapURLWithHostURL(const QUrl& hostURL);
    // The first entry of the answer's "services" → `name` list; empty when any part is missing.
    static QJsonObject firstServiceEntry(const QJsonValue& answer, const QString& name);

private:
    std::shared_ptr<TovrinService> tovrinService_;
    std::shared_ptr<URLProvider> urlProvider_;
    std::shared_ptr<ServiceJSONMapper> serviceJSONMapper_;
    std::optional<QUrl> tovrinHostURL_;
};

}  // namespace tovrin
