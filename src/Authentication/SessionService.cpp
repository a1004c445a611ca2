#include "Authentication/SessionService.h"

#include "API/TovrinAPIRequest.h"
#include "API/TovrinEndpoint.h"
#include "API/TovrinServiceError.h"
#include "Authentication/AuthResponseParser.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/SessionGeneration.h"
#include "Authentication/UserSession.h"
#include "Throttling/ThrottledService.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {

SessionService::SessionService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                               std::shared_ptr<Throttler> throttler, std::shared_ptr<AuthStorage> authStorage,
                               std::shared_ptr<SessionGeneration> sessionGeneration)
    : tovrinEndpoint_(std::move(tovrinEndpoint)),
      throttler_(std::move(throttler)),
      authStorage_(std::move(authStorage)),
      sessionGeneration_(std::move(sessionGeneration)) {}

Promise<SessionInfo> SessionService::loginWithEmail(const std::optional<QString>& email,
                                                    const std::optional<QString>& password) {
    auto self = shared_from_this();
    return ThrottledService::wrappedThrottledPromiseWithThrottler<SessionInfo>(
        throttler_, LoginActionKey, [self, email, password] {
            return self->sessionEndpointPromiseForEmail(email, password)
                .then([self, email, password](const SessionInfo& info) {
                    // Kept only once the service accepted them: a refused or failed sign-in leaves the
                    // member before as they were.
                    self->authStorage_->storeLoginCredentials(LoginCredentials(email, password));
                    if (auto session = UserSession::sharedSession())
                        session->startSessionWithProfileID(info.profileID(), info.credentials());
                    return info;
                });
        });
}

Promise<SessionInfo> SessionService::renewSessionCredentialsWithEmail(
    const std::optional<QString>& email, const std::optional<QString>& password) {
    const SessionGeneration::Stamp generation = sessionGeneration_->current();
    if (ongoingRenewSessionCredentialsPromise_ &&
        ongoingRenewSessionCredentialsPromise_->sessionGeneration == generation) {
        return ongoingRenewSessionCredentialsPromise_->promise;
    }
    const Promise<SessionInfo> renewal = startRenewal(email, password);
    ongoingRenewSessionCredentialsPromise_ = OngoingRenewal{renewal, generation};
    return renewal;
}

// The renewal's own continuations are attached before any caller's, so callers see the session
// already updated or signed out.
Promise<SessionInfo> SessionService::startRenewal(const std::optional<QString>& email,
                                                  const std::optional<QString>& password) {
    const SessionGeneration::Stamp generation = sessionGeneration_->current();
    auto self = shared_from_this();
    return sessionEndpointPromiseForEmail(email, password)
        .then([self, generation](const SessionInfo& info) {
            self->renewalDidSettle(generation);
            if (!self->sessionGeneration_->isCurrent(generation)) {
                return Promise<SessionInfo>::rejected(
                    tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
            }
            const auto session = UserSession::sharedSession();
            if (session && session->profileID() != info.profileID()) {
                // The stored pair now signs in someone else: their tokens must never reach this
                // member's store and objects.
                signOutSignedInMember();
                return Promise<SessionInfo>::rejected(
                    tovrinServiceError(TovrinServiceErrorInvalidCredentials));
            }
            if (session) session->updateSessionWithNewCredentials(info.credentials());
            return Promise<SessionInfo>::resolved(info);
        })
        .catchError([self, generation](const Error& error) {
            // The code alone decides, whatever the domain.
            if (error.code() == TovrinServiceErrorInvalidCredentials &&
                self->sessionGeneration_->isCurrent(generation)) {
                signOutSignedInMember();
            }
            self->renewalDidSettle(generation);
        });
}

// Nobody is signed in once a sign-out ran: the push-token removal that follows it may meet 401 with
// the last tokens, and its renewal, without credentials, must not sign out a second time.
void SessionService::signOutSignedInMember() {
    const auto session = UserSession::sharedSession();
    if (session && session->profileID()) session->logout();
}

void SessionService::renewalDidSettle(quint64 sessionGeneration) {
    if (ongoingRenewSessionCredentialsPromise_ &&
        ongoingRenewSessionCredentialsPromise_->sessionGeneration == sessionGeneration) {
        ongoingRenewSessionCredentialsPromise_.reset();
    }
}

Promise<SessionInfo> SessionService::sessionEndpointPromiseForEmail(const std::optional<QString>& email,
                                                                    const std::optional<QString>& password) {
    if (!email || !password) {
        return Promise<SessionInfo>::rejected(tovrinServiceError(TovrinServiceErrorInvalidCredentials));
    }
    const auto request = TovrinAPIRequest::POSTRequestWithPath(
        QStringLiteral("/v3/sessions"), std::nullopt,
        QJsonObject{{QStringLiteral("email"), *email}, {QStringLiteral("password"), *password}});
    return tovrinEndpoint_->JSONWithRequest(request).then([](const QJsonValue& response) {
        const std::optional<SessionInfo> info = AuthResponseParser(response.toObject()).sessionInfo();
        if (!info)
            return Promise<SessionInfo>::rejected(tovrinServiceError(TovrinServiceErrorDataNotReadable));
        return Promise<SessionInfo>::resolved(*info);
    });
}

}  // namespace tovrin
