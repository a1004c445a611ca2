#pragma once

#include <QJsonValue>
#include <QUrl>
#include <memory>
#include <optional>

#include "API/FullBootstrapInfo.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class AuthenticatedTovrinService;
class RulesJSONMapper;
class ServiceJSONMapper;
class URLProvider;

// The signed-in bootstrap call: GET "v3/bootstrap" on the configured host through the signed-in
// client (authorized, renewed and resent once on 401), without throttling.
class AuthenticatedBootstrapService : public std::enable_shared_from_this<AuthenticatedBootstrapService> {
public:
    // Copies the host address from the provider once.
    AuthenticatedBootstrapService(std::shared_ptr<AuthenticatedTovrinService> tovrinService,
                                  std::shared_ptr<URLProvider> urlProvider,
                                  std::shared_ptr<ServiceJSONMapper> serviceJSONMapper,
                                  std::shared_ptr<RulesJSONMapper> rulesJSONMapper);
    virtual ~AuthenticatedBootstrapService() = default;

    using Dependencies = Inject<AuthenticatedTovrinService, URLProvider, ServiceJSONMapper, RulesJSONMapper>;

    // The addresses of the first entry of each service list and the configuration rules; the client's
    // failure unchanged. Code 1 without a request when no host is configured.
    virtual Promise<FullBootstrapInfo> retrieveFullBootstrapInfo();

    FullBootstrapInfo fullBootstrapInfoWithJSON(const QJsonValue& answer) const;
    static ChatServerInfo chatServerInfoWithJSONDictionary(const QJsonObject& chat);

private:
    std::shared_ptr<AuthenticatedTovrinService> tovrinService_;
    std::shared_ptr<URLProvider> urlProvider_;
    std::shared_ptr<ServiceJSONMapper> serviceJSONMapper_;
    std::shared_ptr<RulesJSONMapper> rulesJSONMapper_;
    std::optional<QUrl> tovrinHostURL_;
};

}  // namespace tovrin
