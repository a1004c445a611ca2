#include "Profile/FullProfile.h"

#include "Profile/ProfileUpdate.h"

namespace tovrin {

std::shared_ptr<FullProfile> FullProfile::updateFullProfileWithProfileUpdate(
    const ProfileUpdate& profileUpdate) const {
    auto attributes = std::make_shared<ExtendedProfileAttributes>(
        profileUpdate.aboutMe(), profileUpdate.showAge(), profileUpdate.showDistance(),
        profileUpdate.heightInCm(), profileUpdate.weightInGrams(), profileUpdate.bodyType(),
        profileUpdate.ethnicity(), profileUpdate.relationshipStatus(), profileUpdate.lookingFor(),
        profileUpdate.tribes(), profileUpdate.socialNetworks());
    // A profile always has its grid record; an empty one would leave nothing to keep but the update.
    const NearbyUser empty(QString(), std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                           false, false);
    const NearbyUser& old = nearbyUser_ ? *nearbyUser_ : empty;
    auto user = std::make_shared<NearbyUser>(old.profileID(), profileUpdate.displayName(), old.mediaHash(),
                                             qint64(profileUpdate.age()), old.lastSeen(), old.distance(),
                                             old.isFavorite(), old.isOnline());
    return std::make_shared<FullProfile>(std::move(user), std::move(attributes));
}

}  // namespace tovrin
