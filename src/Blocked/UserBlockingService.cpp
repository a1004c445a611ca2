#include "Blocked/UserBlockingService.h"

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinServiceError.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/URLPathSegment.h"

namespace tovrin {

Promise<QJsonValue> UserBlockingService::blockUserWithProfileID(const QString& profileID) {
    // An id that is no segment would post to the collection (or above it): nothing is sent.
    const std::optional<QString> path = URLPathByAppendingSegment(QStringLiteral("/v3/me/blocks"), profileID);
    if (!path) return Promise<QJsonValue>::rejected(tovrinServiceError(TovrinServiceErrorGeneric));
    return JSONWithRequest(TovrinAPIRequest::POSTRequestWithPath(*path, std::nullopt, std::nullopt));
}

Promise<QJsonValue> UserBlockingService::unblockAllUsers() {
    return JSONWithRequest(
        TovrinAPIRequest::DELETERequestWithPath(QStringLiteral("/v3/me/blocks"), std::nullopt, std::nullopt));
}

}  // namespace tovrin
