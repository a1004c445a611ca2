#pragma once

#include "API/TovrinService.h"
#include "Authentication/SessionGeneration.h"
#include "InjectorKeys.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthStorage;
class RequestAuthenticator;
class SessionService;

// The JSON web client of a signed-in member: every request carries the session's "Authorization".
// A request sent without a token, answered with 401 or whose authentication was cancelled (-1012)
// renews the session with the stored credentials and is sent again under the same promise, once:
// meeting 401 again after its renewal it fails with 10. A renewal failing with 6, 15 or 16 fails
// the request with that code, any other failure with 10.
//
// A request belongs to the member whose session it was started in: once another session has begun
// (a sign-out or a sign-in since), it fails with 10 instead of being renewed or resent.
class AuthenticatedTovrinService : public TovrinService {
public:
    AuthenticatedTovrinService(std::shared_ptr<net::URLSession> networkClient,
                               std::shared_ptr<NotificationCenter> notificationCenter,
                               std::shared_ptr<ErrorMessageParser> errorMessageParser,
                               std::shared_ptr<HTTPHeaderFurnisher> httpHeaderFurnisher,
                               std::shared_ptr<DeprecatedClientListener> deprecatedClientListener,
                               std::shared_ptr<BannedUserListener> bannedUserListener,
                               std::shared_ptr<CertificateMismatchListener> certificateMismatchListener,
                               std::shared_ptr<RequestAuthenticator> requestAuthenticator,
                               std::shared_ptr<AuthStorage> authStorage,
                               std::shared_ptr<SessionService> sessionService,
                               std::shared_ptr<SessionGeneration> sessionGeneration,
                               std::shared_ptr<OperationQueue> operationQueue,
                               std::shared_ptr<OperationQueue> mainQueue);

    using Dependencies = Inject<net::URLSession, NotificationCenter, ErrorMessageParser, HTTPHeaderFurnisher,
                                DeprecatedClientListener, BannedUserListener, CertificateMismatchListener,
                                RequestAuthenticator, AuthStorage, SessionService, SessionGeneration,
                                Named<OperationQueue, InjectorKeyBackgroundQueue>,
                                Named<OperationQueue, InjectorKeyMainQueue>>;

    // Posts no HTTP-activity notifications.
    Promise<QJsonValue> JSONWithURLRequest(const net::URLRequest& request) override;

    static bool isAuthenticationRequiredError(const Error& error);

protected:
    void handleNetworkResponse(const net::DataTaskResponse& response, const net::URLRequest& originalRequest,
                               const JSONDeferred& deferred) override;
    void handleNetworkError(const Error& error, const net::URLRequest& originalRequest,
                            const JSONDeferred& deferred) override;
    void reestablishSessionAndRetryWithURLRequest(const net::URLRequest& request,
                                                  const JSONDeferred& deferred);

private:
    void resendWithNewSession(const net::URLRequest& request, const JSONDeferred& deferred);
    static Error errorForFailedRenewal(const Error& renewalError);
    bool belongsToCurrentSession(const net::URLRequest& request) const;

    std::shared_ptr<RequestAuthenticator> requestAuthenticator_;
    std::shared_ptr<AuthStorage> authStorage_;
    std::shared_ptr<SessionService> sessionService_;
    std::shared_ptr<SessionGeneration> sessionGeneration_;
};

}  // namespace tovrin
