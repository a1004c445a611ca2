#pragma once

#include <functional>
#include <memory>

#include "platform/di/Inject.h"
#include "platform/net/URLRequest.h"

namespace tovrin {

class SessionTokenSource;

inline const QString authorizationHeaderKey = QStringLiteral("Authorization");

// Puts the member's session token on requests. The token is read at each call, from the source of
// the moment (there may be none yet).
class RequestAuthenticator {
public:
    using TokenSourceProvider = std::function<std::shared_ptr<SessionTokenSource>()>;

    explicit RequestAuthenticator(TokenSourceProvider tokenSource);
    virtual ~RequestAuthenticator() = default;

    using Dependencies = Inject<Provider<SessionTokenSource>>;

    // Whether the source holds a session token in memory.
    virtual bool canAuthenticateRequests() const;
    // A copy whose "Authorization" is "Tovrin3 " and the token, replacing any earlier value; the
    // request unchanged without a token.
    virtual net::URLRequest authenticateRequest(const net::URLRequest& request) const;

private:
    std::optional<QString> currentSessionToken() const;

    TokenSourceProvider tokenSource_;
};

}  // namespace tovrin
