#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <memory>

#include "InjectorKeys.h"
#include "platform/di/Inject.h"
#include "platform/foundation/SharedSelf.h"
#include "platform/foundation/URLQueryItem.h"
#include "platform/net/URLSession.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class BannedUserListener;
class CertificateMismatchListener;
class DeprecatedClientListener;
class ErrorMessageParser;
class HTTPHeaderFurnisher;
class NotificationCenter;
class OperationQueue;

// Posted (no object, no user info) on the main queue around every request this client sends on
// its own behalf; the end one also when the request fails.
inline const QString HTTPActivityDidBeginNotification = QStringLiteral("HTTPActivityDidBeginNotification");
inline const QString HTTPActivityDidEndNotification = QStringLiteral("HTTPActivityDidEndNotification");

// The JSON web client: sends a finished URL request and turns the answer into the decoded JSON (an
// object or an array) or an error of `TovrinServiceErrorDomain`. The deprecated-client, banned-user
// and certificate-mismatch listeners are told before the promise fails with 3, 6 or 15. Successful
// bodies are decoded on the background queue; every promise settles on the main queue.
class TovrinService : public EnableSharedSelf<TovrinService> {
public:
    using JSONDeferred = Deferred<QJsonValue>;

    TovrinService(std::shared_ptr<net::URLSession> networkClient,
                  std::shared_ptr<NotificationCenter> notificationCenter,
                  std::shared_ptr<ErrorMessageParser> errorMessageParser,
                  std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher,
                  std::shared_ptr<DeprecatedClientListener> deprecatedClientListener,
                  std::shared_ptr<BannedUserListener> bannedUserListener,
                  std::shared_ptr<CertificateMismatchListener> certificateMismatchListener,
                  std::shared_ptr<OperationQueue> operationQueue, std::shared_ptr<OperationQueue> mainQueue);
    virtual ~TovrinService();

    using Dependencies = Inject<net::URLSession, NotificationCenter, ErrorMessageParser, HTTPHeaderFurnisher,
                                DeprecatedClientListener, BannedUserListener, CertificateMismatchListener,
                                Named<OperationQueue, InjectorKeyBackgroundQueue>,
                                Named<OperationQueue, InjectorKeyMainQueue>>;

    // Sends the request, bracketed by the HTTP-activity notifications.
    virtual Promise<QJsonValue> JSONWithURLRequest(const net::URLRequest& request);
    // Sends the request and settles the given deferred; no notifications. Subclasses send and resend
    // under one deferred with it.
    Promise<QJsonValue> JSONWithURLRequestDeferred(const net::URLRequest& request,
                                                   const JSONDeferred& deferred);

    // Request generators: "User-Agent" and "Accept" always, "Content-Type" with a body.
    net::URLRequest GETRequestWithURL(const QUrl& url, const std::optional<URLQueryItems>& queryItems) const;
    net::URLRequest POSTRequestWithURLJSONBody(const QUrl& url,
                                               const std::optional<URLQueryItems>& queryItems,
                                               const std::optional<QJsonObject>& JSONBody) const;
    net::URLRequest POSTRequestWithURLData(const QUrl& url, const std::optional<URLQueryItems>& queryItems,
                                           const std::optional<QByteArray>& data,
                                           const QString& contentType) const;
    net::URLRequest PUTRequestWithURL(const QUrl& url, const std::optional<URLQueryItems>& queryItems,
                                      const std::optional<QJsonObject>& JSONBody) const;
    net::URLRequest DELETERequestWithURL(const QUrl& url,
                                         const std::optional<URLQueryItems>& queryItems) const;
    // A non-empty list of query items replaces the URL's query; no list or an empty one leaves it.
    net::URLRequest constructRequestWithHTTPMethod(const QString& method, const QUrl& url,
                                                   const std::optional<URLQueryItems>& queryItems,
                                                   const std::optional<QByteArray>& body,
                                                   const std::optional<QString>& contentType) const;
    static std::optional<QByteArray> dataFromJSON(const std::optional<QJsonObject>& JSON);

    static qint64 serviceErrorFromErrorMessageCode(quint64 code);
    static bool isMismatchedCertificateError(const Error& error);
    static bool isNotConnectedToInternetError(const Error& error);
    // A DELETE is answered with nothing to read: its empty 2xx answer fulfils with an undefined value,
    // which no JSON body gives, so a caller that needs a body can still tell.
    static bool expectsAnswerBody(const net::URLRequest& request);
    // Only a top-level object or array counts.
    static std::optional<QJsonValue> jsonFromHTTPResponseData(const QByteArray& data);

protected:
    virtual void handleNetworkResponse(const net::DataTaskResponse& response,
                                       const net::URLRequest& originalRequest, const JSONDeferred& deferred);
    virtual void handleNetworkError(const Error& error, const net::URLRequest& originalRequest,
                                    const JSONDeferred& deferred);
    // Tells the listener the code concerns, if any, then rejects.
    void handleServiceError(qint64 code, const JSONDeferred& deferred);

private:
    void decodeSuccessfulResponse(const QByteArray& data, const JSONDeferred& deferred);
    static void postOnMainQueue(const std::shared_ptr<OperationQueue>& mainQueue,
                                const std::shared_ptr<NotificationCenter>& center,
                                const QString& notificationName);

    std::shared_ptr<net::URLSession> networkClient_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::shared_ptr<ErrorMessageParser> errorMessageParser_;
    std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher_;
    std::shared_ptr<DeprecatedClientListener> deprecatedClientListener_;
    std::shared_ptr<BannedUserListener> bannedUserListener_;
    std::shared_ptr<CertificateMismatchListener> certificateMismatchListener_;
    std::shared_ptr<OperationQueue> operationQueue_;
    std::shared_ptr<OperationQueue> mainQueue_;
};

}  // namespace tovrin
