#include "API/AuthenticatedTovrinService.h"

#include "API/BannedUserListener.h"
#include "API/CertificateMismatchListener.h"
#include "API/DeprecatedClientListener.h"
#include "API/ErrorMessageParser.h"
#include "API/HTTPHeaderFurnisher.h"
#include "API/RequestAuthenticator.h"
#include "API/TovrinServiceError.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/SessionService.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/net/URLError.h"

namespace tovrin {

namespace {

// Carried by each request inside the application: the session it was started in, and whether it
// has had its renewal.
const QString SessionGenerationProperty = QStringLiteral("TovrinSessionGeneration");
const QString SessionRenewedProperty = QStringLiteral("TovrinSessionRenewed");

}  // namespace

AuthenticatedTovrinService::AuthenticatedTovrinService(
    std::shared_ptr<net::URLSession> networkClient, std::shared_ptr<NotificationCenter> notificationCenter,
    std::shared_ptr<ErrorMessageParser> errorMessageParser,
    std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher,
    std::shared_ptr<DeprecatedClientListener> deprecatedClientListener,
    std::shared_ptr<BannedUserListener> bannedUserListener,
    std::shared_ptr<CertificateMismatchListener> certificateMismatchListener,
    std::shared_ptr<RequestAuthenticator> requestAuthenticator, std::shared_ptr<AuthStorage> authStorage,
    std::shared_ptr<SessionService> sessionService, std::shared_ptr<SessionGeneration> sessionGeneration,
    std::shared_ptr<OperationQueue> operationQueue, std::shared_ptr<OperationQueue> mainQueue)
    : TovrinService(std::move(networkClient), std::move(notificationCenter), std::move(errorMessageParser),
                    std::move(httpHeaderFurnisher), std::move(deprecatedClientListener),
                    std::move(bannedUserListener), std::move(certificateMismatchListener),
                    std::move(operationQueue), std::move(mainQueue)),
      requestAuthenticator_(std::move(requestAuthenticator)),
      authStorage_(std::move(authStorage)),
      sessionService_(std::move(sessionService)),
      sessionGeneration_(std::move(sessionGeneration)) {}

Promise<QJsonValue> AuthenticatedTovrinService::JSONWithURLRequest(const net::URLRequest& request) {
    const JSONDeferred deferred = JSONDeferred::make();
    net::URLRequest tagged = request;
    tagged.setProperty(QVariant::fromValue(sessionGeneration_->current()), SessionGenerationProperty);
    if (requestAuthenticator_->canAuthenticateRequests()) {
        JSONWithURLRequestDeferred(requestAuthenticator_->authenticateRequest(tagged), deferred);
    } else {
        reestablishSessionAndRetryWithURLRequest(tagged, deferred);
    }
    return deferred.promise;
}

bool AuthenticatedTovrinService::isAuthenticationRequiredError(const Error& error) {
    return error.is(net::URLErrorDomain, net::URLErrorUserCancelledAuthentication);
}

void AuthenticatedTovrinService::handleNetworkResponse(const net::DataTaskResponse& response,
                                                       const net::URLRequest& originalRequest,
                                                       const JSONDeferred& deferred) {
    if (response.response.statusCode() == 401) {
        reestablishSessionAndRetryWithURLRequest(originalRequest, deferred);
    } else {
        TovrinService::handleNetworkResponse(response, originalRequest, deferred);
    }
}

void AuthenticatedTovrinService::handleNetworkError(const Error& error,
                                                    const net::URLRequest& originalRequest,
                                                    const JSONDeferred& deferred) {
    if (isAuthenticationRequiredError(error)) {
        reestablishSessionAndRetryWithURLRequest(originalRequest, deferred);
    } else {
        TovrinService::handleNetworkError(error, originalRequest, deferred);
    }
}

void AuthenticatedTovrinService::reestablishSessionAndRetryWithURLRequest(const net::URLRequest& request,
                                                                          const JSONDeferred& deferred) {
    // The service may refuse fresh tokens without end: one renewal per request.
    if (request.property(SessionRenewedProperty).toBool() || !belongsToCurrentSession(request)) {
        deferred.resolver.reject(tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
        return;
    }
    const std::optional<LoginCredentials> credentials = authStorage_->loginCredentials();
    const Promise<SessionInfo> renewal = sessionService_->renewSessionCredentialsWithEmail(
        credentials ? credentials->email() : std::nullopt,
        credentials ? credentials->password() : std::nullopt);
    renewal.then([self = sharedSelf<AuthenticatedTovrinService>(), request, deferred](const SessionInfo&) {
        self->resendWithNewSession(request, deferred);
    });
    renewal.catchError(
        [deferred](const Error& error) { deferred.resolver.reject(errorForFailedRenewal(error)); });
}

void AuthenticatedTovrinService::resendWithNewSession(const net::URLRequest& request,
                                                      const JSONDeferred& deferred) {
    if (!belongsToCurrentSession(request)) {
        deferred.resolver.reject(tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
        return;
    }
    net::URLRequest renewed = request;
    renewed.setProperty(true, SessionRenewedProperty);
    JSONWithURLRequestDeferred(requestAuthenticator_->authenticateRequest(renewed), deferred);
}

Error AuthenticatedTovrinService::errorForFailedRenewal(const Error& renewalError) {
    for (qint64 passedOn : {TovrinServiceErrorCertificateMismatch, TovrinServiceErrorUserBanned,
                            TovrinServiceErrorNoInternetConnection}) {
        if (isTovrinServiceError(renewalError, passedOn)) return renewalError;
    }
    return tovrinServiceError(TovrinServiceErrorSessionRenewalFailed);
}

bool AuthenticatedTovrinService::belongsToCurrentSession(const net::URLRequest& request) const {
    return sessionGeneration_->isCurrent(request.property(SessionGenerationProperty).toULongLong());
}

}  // namespace tovrin
