#pragma once

#include "platform/net/URLRequest.h"

namespace tovrin {

inline const QString authorizationHeaderKey = QStringLiteral("Authorization");

// Puts the shared user session's token on requests. Stateless: the token is read at each call.
class RequestAuthenticator {
public:
    virtual ~RequestAuthenticator() = default;

    // Whether the shared session holds a session token in memory.
    virtual bool canAuthenticateRequests() const;
    // A copy whose "Authorization" is "Tovrin3 " and the token, replacing any earlier value; the
    // request unchanged without a token.
    virtual net::URLRequest authenticateRequest(const net::URLRequest& request) const;
};

}  // namespace tovrin
