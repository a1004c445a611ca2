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
class ServerCurrentDateProvider;
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
                                  std::shared_ptr<RulesJSONMapper> rulesJSONMapper,
                                  std::shared_ptr<ServerCurrentDateProvider> serverCurrentDateProvider);
    virtual ~AuthenticatedBootstrapService() = default;

    using Dependencies = Inject<AuthenticatedTovrinService, URLProvider, ServiceJSONMapper, RulesJSONMapper,
                                ServerCurrentDateProvider>;

    // The addresses of the first entry of each service list and the configuration rules, stamped with
    // the time of the answer's arrival on the device clock the server clock corrects; the client's
    // failure unchanged. Code 1 without a request when no host is configured.
    virtual Promise<FullBootstrapInfo> retrieveFullBootstrapInfo();

    FullBootstrapInfo fullBootstrapInfoWithJSON(const QJsonValue& answer,
                                                std::optional<Date> receivedAt = std::nullopt) const;
    static ChatServerInfo chatServerInfoWithJSONDictionary(const QJsonObject& chat);

private:
    std::shared_ptr<AuthenticatedTovrinService> tovrinService_;
    std::shared_ptr<URLProvider> urlProvider_;
    std::shared_ptr<ServiceJSONMapper> serviceJSONMapper_;
    std::shared_ptr<RulesJSONMapper> rulesJSONMapper_;
    std::shared_ptr<ServerCurrentDateProvider> serverCurrentDateProvider_;
    std::optional<QUrl> tovrinHostURL_;
};

}  // namespace tovrin
