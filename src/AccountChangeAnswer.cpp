#include "AccountChangeAnswer.h"

#include "API/TovrinServiceError.h"
#include "Authentication/AuthResponseParser.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/UserSession.h"

namespace tovrin {

Promise<std::optional<SessionInfo>> applyAccountChangeAnswer(const QJsonValue& answer,
                                                             const LoginCredentials& credentials,
                                                             const std::shared_ptr<AuthStorage>& authStorage,
                                                             const SessionGeneration& generation,
                                                             SessionGeneration::Stamp sentUnder) {
    if (!generation.isCurrent(sentUnder))
        return Promise<std::optional<SessionInfo>>::rejected(
            tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    const std::optional<SessionInfo> info = AuthResponseParser(answer.toObject()).sessionInfo();
    authStorage->storeLoginCredentials(credentials);
    if (info) {
        if (auto session = UserSession::sharedSession())
            session->updateSessionWithNewCredentials(info->credentials());
    }
    return Promise<std::optional<SessionInfo>>::resolved(info);
}

}  // namespace tovrin
