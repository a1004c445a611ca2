#include "API/TovrinService.h"

#include "API/BannedUserListener.h"
#include "API/CertificateMismatchListener.h"
#include "API/DeprecatedClientListener.h"
#include "API/ErrorMessageParser.h"
#include "API/HTTPHeaderFurnisher.h"
#include "API/TovrinServiceError.h"
#include "Categories/Promise+InProgress.h"
#include "platform/foundation/JSON.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/net/URLError.h"

namespace tovrin {

TovrinService::TovrinService(std::shared_ptr<net::URLSession> networkClient,
                             std::shared_ptr<NotificationCenter> notificationCenter,
                             std::shared_ptr<ErrorMessageParser> errorMessageParser,
                             std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher,
                             std::shared_ptr<DeprecatedClientListener> deprecatedClientListener,
                             std::shared_ptr<BannedUserListener> bannedUserListener,
                             std::shared_ptr<CertificateMismatchListener> certificateMismatchListener,
                             std::shared_ptr<OperationQueue> operationQueue,
                             std::shared_ptr<OperationQueue> mainQueue)
    : networkClient_(std::move(networkClient)),
      notificationCenter_(std::move(notificationCenter)),
      errorMessageParser_(std::move(errorMessageParser)),
      httpHeaderFurnisher_(std::move(httpHeaderFurnisher)),
      deprecatedClientListener_(std::move(deprecatedClientListener)),
      bannedUserListener_(std::move(bannedUserListener)),
      certificateMismatchListener_(std::move(certificateMismatchListener)),
      operationQueue_(std::move(operationQueue)),
      mainQueue_(std::move(mainQueue)) {}

TovrinService::~TovrinService() = default;

Promise<QJsonValue> TovrinService::JSONWithURLRequest(const net::URLRequest& request) {
    const JSONDeferred deferred = JSONDeferred::make();
    JSONWithURLRequestDeferred(request, deferred);
    postOnMainQueue(mainQueue_, notificationCenter_, HTTPActivityDidBeginNotification);
    // Holds only what posting needs: a pending continuation must not keep the session alive.
    performWhenFinished(deferred.promise, [mainQueue = mainQueue_, center = notificationCenter_] {
        postOnMainQueue(mainQueue, center, HTTPActivityDidEndNotification);
    });
    return deferred.promise;
}

Promise<QJsonValue> TovrinService::JSONWithURLRequestDeferred(const net::URLRequest& request,
                                                              const JSONDeferred& deferred) {
    const Promise<net::DataTaskResponse> sent = networkClient_->dataTaskPromise(request);
    sent.then([self = shared_from_this(), request, deferred](const net::DataTaskResponse& response) {
        self->handleNetworkResponse(response, request, deferred);
    });
    sent.catchError([self = shared_from_this(), request, deferred](const Error& error) {
        self->handleNetworkError(error, request, deferred);
    });
    return deferred.promise;
}

void TovrinService::handleNetworkResponse(const net::DataTaskResponse& response,
                                          const net::URLRequest& originalRequest,
                                          const JSONDeferred& deferred) {
    switch (response.response.statusCode() / 100) {
        case 2:
            if (response.data.isEmpty() && !expectsAnswerBody(originalRequest)) {
                deferred.resolver.fulfill(QJsonValue(QJsonValue::Undefined));
                return;
            }
            decodeSuccessfulResponse(response.data, deferred);
            return;
        case 4: {
            const auto errorMessage = errorMessageParser_->errorMessageFromData(response.data);
            handleServiceError(serviceErrorFromErrorMessageCode(errorMessage ? errorMessage->code() : 0),
                               deferred);
            return;
        }
        case 5:
            handleServiceError(TovrinServiceErrorServerError, deferred);
            return;
        default:
            handleServiceError(TovrinServiceErrorGeneric, deferred);
    }
}

void TovrinService::handleNetworkError(const Error& error, const net::URLRequest&,
                                       const JSONDeferred& deferred) {
    if (isMismatchedCertificateError(error)) {
        handleServiceError(TovrinServiceErrorCertificateMismatch, deferred);
    } else if (isNotConnectedToInternetError(error)) {
        handleServiceError(TovrinServiceErrorNoInternetConnection, deferred);
    } else {
        handleServiceError(TovrinServiceErrorGeneric, deferred);
    }
}

void TovrinService::handleServiceError(qint64 code, const JSONDeferred& deferred) {
    if (code == TovrinServiceErrorCertificateMismatch) {
        if (certificateMismatchListener_) certificateMismatchListener_->certificateMismatched();
    } else if (code == TovrinServiceErrorClientDeprecated) {
        if (deprecatedClientListener_) deprecatedClientListener_->clientIsDeprecated();
    } else if (code == TovrinServiceErrorUserBanned) {
        if (bannedUserListener_) bannedUserListener_->userIsBanned();
    }
    deferred.resolver.reject(tovrinServiceError(code));
}

void TovrinService::decodeSuccessfulResponse(const QByteArray& data, const JSONDeferred& deferred) {
    // The decoding work holds no reference to this service, which must go on the main thread.
    operationQueue_->addOperation([data, deferred, mainQueue = mainQueue_] {
        std::optional<QJsonValue> json = jsonFromHTTPResponseData(data);
        mainQueue->addOperation([json = std::move(json), deferred] {
            if (json) {
                deferred.resolver.fulfill(*json);
            } else {
                deferred.resolver.reject(tovrinServiceError(TovrinServiceErrorDataNotReadable));
            }
        });
    });
}

void TovrinService::postOnMainQueue(const std::shared_ptr<OperationQueue>& mainQueue,
                                    const std::shared_ptr<NotificationCenter>& center,
                                    const QString& notificationName) {
    mainQueue->addOperation([center, notificationName] { center->post(notificationName); });
}

net::URLRequest TovrinService::GETRequestWithURL(const QUrl& url,
                                                 const std::optional<URLQueryItems>& queryItems) const {
    return constructRequestWithHTTPMethod("GET", url, queryItems, std::nullopt, std::nullopt);
}

net::URLRequest TovrinService::POSTRequestWithURLJSONBody(const QUrl& url,
                                                          const std::optional<URLQueryItems>& queryItems,
                                                          const std::optional<QJsonObject>& JSONBody) const {
    return constructRequestWithHTTPMethod("POST", url, queryItems, dataFromJSON(JSONBody),
                                          jsonContentTypeHeaderValue);
}

net::URLRequest TovrinService::POSTRequestWithURLData(const QUrl& url,
                                                      const std::optional<URLQueryItems>& queryItems,
                                                      const std::optional<QByteArray>& data,
                                                      const QString& contentType) const {
    return constructRequestWithHTTPMethod("POST", url, queryItems, data, contentType);
}

net::URLRequest TovrinService::PUTRequestWithURL(const QUrl& url,
                                                 const std::optional<URLQueryItems>& queryItems,
                                                 const std::optional<QJsonObject>& JSONBody) const {
    return constructRequestWithHTTPMethod("PUT", url, queryItems, dataFromJSON(JSONBody),
                                          jsonContentTypeHeaderValue);
}

net::URLRequest TovrinService::DELETERequestWithURL(const QUrl& url,
                                                    const std::optional<URLQueryItems>& queryItems) const {
    return constructRequestWithHTTPMethod("DELETE", url, queryItems, std::nullopt, std::nullopt);
}

net::URLRequest TovrinService::constructRequestWithHTTPMethod(
    const QString& method, const QUrl& url, const std::optional<URLQueryItems>& queryItems,
    const std::optional<QByteArray>& body, const std::optional<QString>& contentType) const {
    net::URLRequest request(url);
    request.setHTTPMethod(method);
    if (queryItems && !queryItems->isEmpty()) request.setURL(URLBySettingQueryItems(url, queryItems));
    request.setHTTPBody(body);
    return httpHeaderFurnisher_->furnishURLRequest(request, contentType);
}

std::optional<QByteArray> TovrinService::dataFromJSON(const std::optional<QJsonObject>& JSON) {
    if (!JSON) return std::nullopt;
    return JSON::serialize(*JSON);
}

qint64 TovrinService::serviceErrorFromErrorMessageCode(quint64 code) {
    switch (code) {
        case 4:
            return TovrinServiceErrorInvalidCredentials;
        case 8:
            return TovrinServiceErrorClientDeprecated;
        case 22:
            return TovrinServiceErrorEmailAlreadyInUse;
        case 24:
            return TovrinServiceErrorPasswordIncorrect;
        case 27:
            return TovrinServiceErrorUserBanned;
        case 33:
            return TovrinServiceErrorFavoritesLimitReached;
        case 34:
            return TovrinServiceErrorBlocksLimitReached;
        case 51:
            return TovrinServiceErrorDailyPhotoUploadLimitReached;
        default:
            return TovrinServiceErrorGeneric;
    }
}

// A proxy that fails is a connection that failed (code 1), whatever the scheme: only the server's
// own certificate can mismatch.
bool TovrinService::isMismatchedCertificateError(const Error& error) {
    return error.is(net::URLErrorDomain, net::URLErrorServerCertificateUntrusted);
}

bool TovrinService::expectsAnswerBody(const net::URLRequest& request) {
    return request.HTTPMethod() != QLatin1String("DELETE");
}

bool TovrinService::isNotConnectedToInternetError(const Error& error) {
    return error.is(net::URLErrorDomain, net::URLErrorNotConnectedToInternet);
}

std::optional<QJsonValue> TovrinService::jsonFromHTTPResponseData(const QByteArray& data) {
    return JSON::parse(data);
}

}  // namespace tovrin
