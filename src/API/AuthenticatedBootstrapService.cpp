#include "API/AuthenticatedBootstrapService.h"

#include <cmath>
#include <limits>

#include "API/AuthenticatedTovrinService.h"
#include "API/BootstrapService.h"
#include "API/ServiceJSONMapper.h"
#include "API/TovrinServiceError.h"
#include "API/URLProvider.h"
#include "Categories/Collection+NilTolerance.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "Rules/RulesJSONMapper.h"

namespace tovrin {

namespace {

QString textForKey(const QJsonObject& dictionary, const QString& key) {
    const auto value = objectOrNilForKey(dictionary, key);
    return value && value->isString() ? value->toString() : QString();
}

quint32 unsignedForKey(const QJsonObject& dictionary, const QString& key) {
    const auto value = objectOrNilForKey(dictionary, key);
    if (!value || !value->isDouble()) return 0;
    const double number = value->toDouble();
    if (!(number >= 0) || number > double(std::numeric_limits<quint32>::max())) return 0;
    return quint32(std::floor(number));
}

}  // namespace

AuthenticatedBootstrapService::AuthenticatedBootstrapService(
    std::shared_ptr<AuthenticatedTovrinService> tovrinService, std::shared_ptr<URLProvider> urlProvider,
    std::shared_ptr<ServiceJSONMapper> serviceJSONMapper, std::shared_ptr<RulesJSONMapper> rulesJSONMapper,
    std::shared_ptr<ServerCurrentDateProvider> serverCurrentDateProvider)
    : tovrinService_(std::move(tovrinService)),
      urlProvider_(std::move(urlProvider)),
      serviceJSONMapper_(std::move(serviceJSONMapper)),
      rulesJSONMapper_(std::move(rulesJSONMapper)),
      serverCurrentDateProvider_(std::move(serverCurrentDateProvider)),
      tovrinHostURL_(urlProvider_->tovrinHostURL()) {}

Promise<FullBootstrapInfo> AuthenticatedBootstrapService::retrieveFullBootstrapInfo() {
    if (!tovrinHostURL_) {
        return Promise<FullBootstrapInfo>::rejected(tovrinServiceError(TovrinServiceErrorGeneric));
    }
    const net::URLRequest request = tovrinService_->GETRequestWithURL(
        BootstrapService::bootstrapURLWithHostURL(*tovrinHostURL_), std::nullopt);
    return tovrinService_->JSONWithURLRequest(request).then(
        [self = shared_from_this()](const QJsonValue& answer) {
            return self->fullBootstrapInfoWithJSON(answer, self->serverCurrentDateProvider_->deviceDate());
        });
}

FullBootstrapInfo AuthenticatedBootstrapService::fullBootstrapInfoWithJSON(
    const QJsonValue& answer, std::optional<Date> receivedAt) const {
    const auto url = [&](const QString& name) {
        return serviceJSONMapper_->URLWithJSONDictionary(BootstrapService::firstServiceEntry(answer, name));
    };
    const ChatServerInfo chat =
        chatServerInfoWithJSONDictionary(BootstrapService::firstServiceEntry(answer, QStringLiteral("chat")));
    TovrinServicesInfo services(tovrinHostURL_.value_or(QUrl()), url(QStringLiteral("media")),
                                url(QStringLiteral("upload")), url(QStringLiteral("web")), chat);
    const QJsonObject configuration = answer.toObject().value(QStringLiteral("configuration")).toObject();
    const auto rules = rulesJSONMapper_->configurationRulesWithJSONDictionary(configuration);
    return FullBootstrapInfo(std::move(services),
                             ConfigurationRules(rules->serverTime(), rules->app(), receivedAt));
}

ChatServerInfo AuthenticatedBootstrapService::chatServerInfoWithJSONDictionary(const QJsonObject& chat) {
    return ChatServerInfo(
        textForKey(chat, QStringLiteral("protocol")), textForKey(chat, QStringLiteral("host")),
        unsignedForKey(chat, QStringLiteral("port")), textForKey(chat, QStringLiteral("domain")));
}

}  // namespace tovrin
