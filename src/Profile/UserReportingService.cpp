#include "Profile/UserReportingService.h"

#include <QJsonObject>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinServiceError.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/URLPathSegment.h"

namespace tovrin {

Promise<QJsonValue> UserReportingService::reportUserWithProfileID(
    const QString& profileID, qint64 managedFieldID, const std::optional<QString>& reportComment) {
    // An id that is no segment would post to the collection (or above it): nothing is sent.
    const std::optional<QString> path = URLPathByAppendingSegment(QStringLiteral("/v3/flags"), profileID);
    if (!path) return Promise<QJsonValue>::rejected(tovrinServiceError(TovrinServiceErrorGeneric));
    const QJsonObject body{{QStringLiteral("reason"), managedFieldID},
                           {QStringLiteral("comment"), reportComment.value_or(QString())}};
    return JSONWithRequest(TovrinAPIRequest::POSTRequestWithPath(*path, std::nullopt, body));
}

}  // namespace tovrin
