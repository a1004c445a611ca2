#pragma once

#include <QJsonValue>

#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class TovrinWebAPIThrottler;

// Deletes the signed-in member's profile.
class DeleteProfileService : public ThrottledService {
public:
    using ThrottledService::ThrottledService;

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler>;

    // DELETE "/v3/me/profile", without a body.
    Promise<QJsonValue> deleteProfile();
};

}  // namespace tovrin
