#include "API/RequestAuthenticator.h"

#include "Authentication/UserSession.h"

namespace tovrin {

namespace {

std::optional<QString> currentSessionToken() {
    const auto session = UserSession::sharedSession();
    if (!session || !session->credentials()) return std::nullopt;
    const QString& token = session->credentials()->sessionToken();
    if (token.isEmpty()) return std::nullopt;
    return token;
}

}  // namespace

bool RequestAuthenticator::canAuthenticateRequests() const {
    return currentSessionToken().has_value();
}

net::URLRequest RequestAuthenticator::authenticateRequest(const net::URLRequest& request) const {
    const std::optional<QString> token = currentSessionToken();
    if (!token) return request;
    net::URLRequest authenticated = request;
    authenticated.setValue(QStringLiteral("Tovrin3 %1").arg(*token), authorizationHeaderKey);
    return authenticated;
}

}  // namespace tovrin
