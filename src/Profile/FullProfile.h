#pragma once

#include <QString>
#include <memory>

#include "API/NearbyUser.h"
#include "Profile/ExtendedProfileAttributes.h"

namespace tovrin {

class ProfileUpdate;

// Posted after the member saved the own profile, with the new `FullProfile` under
// `FullProfileInfoKey`.
inline const QString FullProfileDidUpdateNotification = QStringLiteral("FullProfileDidUpdateNotification");
inline const QString FullProfileInfoKey = QStringLiteral("FullProfileInfoKey");

// A member's whole profile: the grid record and the extended attributes. Never changes once made;
// two profiles are the same only when they are the same object. Held by `shared_ptr`.
class FullProfile {
public:
    FullProfile(std::shared_ptr<NearbyUser> nearbyUser,
                std::shared_ptr<const ExtendedProfileAttributes> extendedProfileAttributes)
        : nearbyUser_(std::move(nearbyUser)),
          extendedProfileAttributes_(std::move(extendedProfileAttributes)) {}

    // The profile as a saved update shows it: name, age and every attribute from the update (what it
    // leaves out is absent), the rest of the grid record from this one, which stays as it is.
    std::shared_ptr<FullProfile> updateFullProfileWithProfileUpdate(const ProfileUpdate& profileUpdate) const;

    const std::shared_ptr<NearbyUser>& nearbyUser() const { return nearbyUser_; }
    const std::shared_ptr<const ExtendedProfileAttributes>& extendedProfileAttributes() const {
        return extendedProfileAttributes_;
    }

private:
    std::shared_ptr<NearbyUser> nearbyUser_;
    std::shared_ptr<const ExtendedProfileAttributes> extendedProfileAttributes_;
};

}  // namespace tovrin
