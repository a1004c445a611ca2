#pragma once

#include <QJsonValue>
#include <QString>
#include <memory>

#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class TovrinWebAPIThrottler;

// The blocking calls of the signed-in member. Failures come as the web client and the throttler
// give them (8 once the service's limit of blocks is reached).
class UserBlockingService : public ThrottledService {
public:
    using ThrottledService::ThrottledService;

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler>;

    // POST "/v3/me/blocks/<profile id>", without a body.
    Promise<QJsonValue> blockUserWithProfileID(const QString& profileID);
    // DELETE "/v3/me/blocks".
    Promise<QJsonValue> unblockAllUsers();
};

}  // namespace tovrin
