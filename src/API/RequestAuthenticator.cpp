#include "API/RequestAuthenticator.h"

#include "API/SessionTokenSource.h"

namespace tovrin {

RequestAuthenticator::RequestAuthenticator(TokenSourceProvider tokenSource)
    : tokenSource_(std::move(tokenSource)) {}

std::optional<QString> RequestAuthenticator::currentSessionToken() const {
    const auto source = tokenSource_();
    return source ? source->sessionToken() : std::nullopt;
}

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
