#include "Cascade/CascadeDataFetcher.h"

#include "Cascade/Filter/Filter.h"
#include "Cascade/NearbyUserService.h"
#include "Cascade/UserLocator.h"
#include "Profile/FullProfile.h"
#include "Profile/ProfileService.h"

namespace tovrin {

CascadeDataFetcher::CascadeDataFetcher(std::shared_ptr<NearbyUserService> nearbyUserService,
                                       std::shared_ptr<UserLocator> userLocator,
                                       std::shared_ptr<ProfileService> profileService)
    : nearbyUserService_(std::move(nearbyUserService)),
      userLocator_(std::move(userLocator)),
      profileService_(std::move(profileService)) {}

Promise<NearbyUsersWithExpirationDate> CascadeDataFetcher::fetchNearbyUserDataForCurrentUserWithProfileID(
    const QString& /*profileID*/, const std::shared_ptr<const Filter>& filter, bool onlineOnly,
    bool favoritesOnly, quint32 pageNumber) {
    return userLocator_->getUserLocation().then([service = nearbyUserService_, filter, onlineOnly,
                                                 favoritesOnly, pageNumber](const Location& location) {
        return service->usersNearLocation(location, filter, onlineOnly, favoritesOnly, pageNumber);
    });
}

Promise<std::shared_ptr<NearbyUser>> CascadeDataFetcher::fetchNearbyUserWithProfileID(
    const QString& profileID) {
    return profileService_->fullProfileForID(profileID).then(
        [](const std::shared_ptr<FullProfile>& profile) { return profile->nearbyUser(); });
}

}  // namespace tovrin
