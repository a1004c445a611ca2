#pragma once

#include <QJsonValue>
#include <QString>
#include <memory>
#include <optional>

#include "Authentication/SessionInfo.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class AuthStorage;
class SessionGeneration;
class Throttler;
class TovrinEndpoint;
class TovrinWebAPIThrottler;

// Sign-in and the silent renewal of the session, both POST "/v3/sessions" without authorization.
// One per process.
class SessionService : public std::enable_shared_from_this<SessionService> {
public:
    SessionService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint, std::shared_ptr<Throttler> throttler,
                   std::shared_ptr<AuthStorage> authStorage,
                   std::shared_ptr<SessionGeneration> sessionGeneration);

    using Dependencies = Inject<TovrinEndpoint, TovrinWebAPIThrottler, AuthStorage, SessionGeneration>;

    // Throttled under "Login". Stores the credentials only once the service accepted them; resolves
    // once the shared user session has started.
    Promise<SessionInfo> loginWithEmail(const std::optional<QString>& email,
                                        const std::optional<QString>& password);
    // One renewal at a time: while one runs every caller gets its promise. Stores nothing. Resolves
    // once the shared session holds the new tokens; a refusal with 2, or an answer naming another
    // profile id than the stored one (which fails with 2), signs the member out first. A renewal that
    // outlives the session it was started in (a sign-out or sign-in meanwhile) changes nothing and
    // fails with 10.
    Promise<SessionInfo> renewSessionCredentialsWithEmail(const std::optional<QString>& email,
                                                          const std::optional<QString>& password);
    // Stores nothing; fails with 2 without a request when either is absent, and with 9 when the
    // response names no member and tokens.
    Promise<SessionInfo> sessionEndpointPromiseForEmail(const std::optional<QString>& email,
                                                        const std::optional<QString>& password);

    static inline const QString LoginActionKey = QStringLiteral("Login");

private:
    struct OngoingRenewal {
        Promise<SessionInfo> promise;
        quint64 sessionGeneration;
    };

    Promise<SessionInfo> startRenewal(const std::optional<QString>& email,
                                      const std::optional<QString>& password);
    void renewalDidSettle(quint64 sessionGeneration);
    static void signOutSignedInMember();

    std::shared_ptr<TovrinEndpoint> tovrinEndpoint_;
    std::shared_ptr<Throttler> throttler_;
    std::shared_ptr<AuthStorage> authStorage_;
    std::shared_ptr<SessionGeneration> sessionGeneration_;
    std::optional<OngoingRenewal> ongoingRenewSessionCredentialsPromise_;
};

}  // namespace tovrin
