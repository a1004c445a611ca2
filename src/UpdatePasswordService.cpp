#include "UpdatePasswordService.h"

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "AccountChangeAnswer.h"
#include "Authentication/AuthStorage.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {

UpdatePasswordService::UpdatePasswordService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                                             std::shared_ptr<Throttler> throttler,
                                             std::shared_ptr<AuthStorage> authStorage,
                                             std::shared_ptr<SessionGeneration> generation)
    : ThrottledService(std::move(tovrinEndpoint), std::move(throttler)),
      authStorage_(std::move(authStorage)),
      generation_(std::move(generation)) {}

Promise<std::optional<SessionInfo>> UpdatePasswordService::updatePasswordFromOldPassword(
    const QString& oldPassword, const QString& newPassword) {
    const QJsonObject body{{QStringLiteral("oldPassword"), oldPassword},
                           {QStringLiteral("newPassword"), newPassword}};
    const auto request = TovrinAPIRequest::POSTRequestWithPath(QStringLiteral("/v3/users/update-password"),
                                                               std::nullopt, body);
    const SessionGeneration::Stamp sentUnder = generation_->current();
    return JSONWithRequest(request).then([authStorage = authStorage_, generation = generation_, sentUnder,
                                          newPassword](const QJsonValue& answer) {
        const std::optional<LoginCredentials> stored = authStorage->loginCredentials();
        const std::optional<QString> email = stored ? stored->email() : std::nullopt;
        return applyAccountChangeAnswer(answer, LoginCredentials(email, newPassword), authStorage,
                                        *generation, sentUnder);
    });
}

}  // namespace tovrin
