#include "UpdateEmailService.h"

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "AccountChangeAnswer.h"
#include "Authentication/AuthStorage.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {

UpdateEmailService::UpdateEmailService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                                       std::shared_ptr<Throttler> throttler,
                                       std::shared_ptr<AuthStorage> authStorage,
                                       std::shared_ptr<SessionGeneration> generation)
    : ThrottledService(std::move(tovrinEndpoint), std::move(throttler)),
      authStorage_(std::move(authStorage)),
      generation_(std::move(generation)) {}

Promise<std::optional<SessionInfo>> UpdateEmailService::updateEmail(const QString& email,
                                                                    const QString& currentPassword) {
    const QJsonObject body{{QStringLiteral("newEmail"), email},
                           {QStringLiteral("password"), currentPassword}};
    const auto request =
        TovrinAPIRequest::POSTRequestWithPath(QStringLiteral("/v3/users/email"), std::nullopt, body);
    const SessionGeneration::Stamp sentUnder = generation_->current();
    return JSONWithRequest(request).then([authStorage = authStorage_, generation = generation_, sentUnder,
                                          email, currentPassword](const QJsonValue& answer) {
        return applyAccountChangeAnswer(answer, LoginCredentials(email, currentPassword), authStorage,
                                        *generation, sentUnder);
    });
}

}  // namespace tovrin
