#include "Authentication/CreateAccountService.h"

#include "API/TovrinAPIRequest.h"
#include "API/TovrinEndpoint.h"
#include "Authentication/AuthResponseParser.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/UserSession.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {

CreateAccountService::CreateAccountService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                                           std::shared_ptr<Throttler> throttler,
                                           std::shared_ptr<AuthStorage> authStorage)
    : ThrottledService(std::move(tovrinEndpoint), std::move(throttler)),
      authStorage_(std::move(authStorage)) {}

Promise<void> CreateAccountService::createAccountWithEmail(const QString& email, const QString& password,
                                                           bool optIn, Date birthday) {
    const QJsonObject body{
        {QStringLiteral("email"), email},
        {QStringLiteral("password"), password},
        {QStringLiteral("birthday"), millisecondsSince1970ForBirthDate(birthday)},
        {QStringLiteral("optIn"), optIn},
    };
    const auto request =
        TovrinAPIRequest::POSTRequestWithPath(QStringLiteral("/v3/users"), std::nullopt, body);
    return JSONWithRequest(request).then(
        [authStorage = authStorage_, email, password](const QJsonValue& response) {
            const std::optional<SessionInfo> info = AuthResponseParser(response.toObject()).sessionInfo();
            if (!info) return Promise<void>::rejected(tovrinServiceError(TovrinServiceErrorDataNotReadable));
            authStorage->storeLoginCredentials(LoginCredentials(email, password));
            if (auto session = UserSession::sharedSession())
                session->startSessionWithProfileID(info->profileID(), info->credentials());
            return Promise<void>::resolved();
        });
}

double CreateAccountService::millisecondsSince1970ForBirthDate(Date birthDate) {
    return birthDate.timeIntervalSince1970() * 1000.0;
}

}  // namespace tovrin
