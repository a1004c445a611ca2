#include "API/BootstrapService.h"

#include <QJsonArray>

#include "API/ServiceJSONMapper.h"
#include "API/TovrinService.h"
#include "API/TovrinServiceError.h"
#include "API/URLProvider.h"

namespace tovrin {

BootstrapService::BootstrapService(std::shared_ptr<TovrinService> tovrinService,
                                   std::shared_ptr<URLProvider> urlProvider,
                                   std::shared_ptr<ServiceJSONMapper> serviceJSONMapper)
    : tovrinService_(std::move(tovrinService)),
      urlProvider_(std::move(urlProvider)),
      serviceJSONMapper_(std::move(serviceJSONMapper)),
      tovrinHostURL_(urlProvider_->tovrinHostURL()) {}

Promise<QUrl> BootstrapService::retrieveApiURL() {
    const std::optional<QUrl> hostURL = urlProvider_->tovrinHostURL();
    if (!hostURL) return Promise<QUrl>::rejected(tovrinServiceError(TovrinServiceErrorGeneric));
    return Promise<QUrl>::resolved(*hostURL);
}

Promise<QUrl> BootstrapService::retrieveAuthenticationWebURL() {
    if (!tovrinHostURL_) return Promise<QUrl>::rejected(tovrinServiceError(TovrinServiceErrorGeneric));
    const net::URLRequest request =
        tovrinService_->GETRequestWithURL(bootstrapURLWithHostURL(*tovrinHostURL_), std::nullopt);
    return tovrinService_->JSONWithURLRequest(request).then([mapper = serviceJSONMapper_](
                                                                const QJsonValue& answer) {
        return mapper->URLWithJSONDictionary(firstServiceEntry(answer, QStringLiteral("authenticationWeb")));
    });
}

QUrl BootstrapService::bootstrapURLWithHostURL(const QUrl& hostURL) {
    QUrl url = hostURL;
    QString path = url.path();
    if (!path.endsWith('/')) path += '/';
    url.setPath(path + QStringLiteral("v3/bootstrap"));
    return url;
}

QJsonObject BootstrapService::firstServiceEntry(const QJsonValue& answer, const QString& name) {
    const QJsonValue list = answer.toObject().value(QStringLiteral("services")).toObject().value(name);
    return list.toArray().first().toObject();
}

}  // namespace tovrin
