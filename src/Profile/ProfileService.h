#pragma once

#include <QJsonObject>
#include <QString>
#include <memory>
#include <vector>

#include "Profile/ExtendedProfileAttributes.h"
#include "Profile/FullProfile.h"
#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class NearbyUserJSONMapper;
class ProfileUpdate;
class TovrinWebAPIThrottler;

// Any member's full profile, and the save of the member's own. Both calls count under this one
// class with the throttler.
class ProfileService : public ThrottledService {
public:
    ProfileService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint, std::shared_ptr<Throttler> throttler,
                   std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper);

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler, NearbyUserJSONMapper>;

    // GET "/v3/profiles/<id>", the id one path segment (an id that cannot be one fails with 1,
    // unsent). The first of the answer's "profiles"; an answer without one, or whose first is no
    // member, fails with 11. The options are named from the lists as they are when the answer
    // arrives.
    Promise<std::shared_ptr<FullProfile>> fullProfileForID(const QString& profileID);
    // PUT "/v3/me/profile" with the update's body; the answer is not read.
    Promise<void> updateCurrentProfile(const ProfileUpdate& profileUpdate);

    // Codes are named through the shared session's option lists; without them no option is read.
    // A code that is no number is none; an array's elements that are no numbers are dropped.
    static std::shared_ptr<ExtendedProfileAttributes> extendedProfileAttributesWithJSONDictionary(
        const QJsonObject& dictionary);
    // Sorted by type, never absent. A network whose value is no object is dropped; one without a
    // text "userId" gives a handle without user id.
    static std::vector<SocialNetwork> socialNetworksFromProfileDictionary(const QJsonObject& dictionary);

    const std::shared_ptr<NearbyUserJSONMapper>& nearbyUserJSONMapper() const {
        return nearbyUserJSONMapper_;
    }
    void setNearbyUserJSONMapper(std::shared_ptr<NearbyUserJSONMapper> mapper) {
        nearbyUserJSONMapper_ = std::move(mapper);
    }

private:
    std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper_;
};

}  // namespace tovrin
