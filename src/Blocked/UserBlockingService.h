#pragma once

#include <QJsonValue>
#include <QString>
#include <memory>

#include "Throttling/ThrottledService.h"

namespace tovrin {

class Injector;

// The blocking calls of the signed-in member. Failures come as the web client and the throttler
// give them (8 once the service's limit of blocks is reached).
class UserBlockingService : public ThrottledService {
public:
    using ThrottledService::ThrottledService;

    // Container initializer: the `AuthenticatedTovrinEndpoint` and `TovrinWebAPIThrottler` class keys.
    static std::shared_ptr<UserBlockingService> create(Injector& injector);

    // POST "/v3/me/blocks/<profile id>", without a body.
    Promise<QJsonValue> blockUserWithProfileID(const QString& profileID);
    // DELETE "/v3/me/blocks".
    Promise<QJsonValue> unblockAllUsers();
};

}  // namespace tovrin
