#pragma once

#include <QString>
#include <memory>

#include "API/NearbyUser.h"
#include "Cascade/NearbyUsersWithExpirationDate.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class Filter;
class NearbyUserService;
class ProfileService;
class UserLocator;

// A page of the grid: the phone's position first, then the members around it.
class CascadeDataFetcher {
public:
    CascadeDataFetcher(std::shared_ptr<NearbyUserService> nearbyUserService,
                       std::shared_ptr<UserLocator> userLocator,
                       std::shared_ptr<ProfileService> profileService);

    using Dependencies = Inject<NearbyUserService, UserLocator, ProfileService>;

    // The profile id does not enter the request. A position that cannot be had fails with the
    // locator's error, and nothing is sent.
    Promise<NearbyUsersWithExpirationDate> fetchNearbyUserDataForCurrentUserWithProfileID(
        const QString& profileID, const std::shared_ptr<const Filter>& filter, bool onlineOnly,
        bool favoritesOnly, quint32 pageNumber);
    // The member's own record for the own tile, from the full profile.
    Promise<std::shared_ptr<NearbyUser>> fetchNearbyUserWithProfileID(const QString& profileID);

    const std::shared_ptr<NearbyUserService>& nearbyUserService() const { return nearbyUserService_; }
    const std::shared_ptr<UserLocator>& userLocator() const { return userLocator_; }
    const std::shared_ptr<ProfileService>& profileService() const { return profileService_; }

private:
    std::shared_ptr<NearbyUserService> nearbyUserService_;
    std::shared_ptr<UserLocator> userLocator_;
    std::shared_ptr<ProfileService> profileService_;
};

}  // namespace tovrin
