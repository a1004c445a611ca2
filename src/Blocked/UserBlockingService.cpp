#include "Blocked/UserBlockingService.h"

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {

Promise<QJsonValue> UserBlockingService::blockUserWithProfileID(const QString& profileID) {
    return JSONWithRequest(TovrinAPIRequest::POSTRequestWithPath(
        QStringLiteral("/v3/me/blocks/%1").arg(profileID), std::nullopt, std::nullopt));
}

Promise<QJsonValue> UserBlockingService::unblockAllUsers() {
    return JSONWithRequest(
        TovrinAPIRequest::DELETERequestWithPath(QStringLiteral("/v3/me/blocks"), std::nullopt, std::nullopt));
}

}  // namespace tovrin
