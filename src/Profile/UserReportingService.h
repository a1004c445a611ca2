#pragma once

#include <QJsonValue>
#include <QString>
#include <optional>

#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class TovrinWebAPIThrottler;

// Reports another member, with a reason of the "reportReasons" list.
class UserReportingService : public ThrottledService {
public:
    using ThrottledService::ThrottledService;

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler>;

    // POST "/v3/flags/<id>", the id one path segment (an id that cannot be one fails with 1,
    // unsent), with {"reason": code, "comment": text}, the empty text for no comment.
    Promise<QJsonValue> reportUserWithProfileID(const QString& profileID, qint64 managedFieldID,
                                                const std::optional<QString>& reportComment);
};

}  // namespace tovrin
