#include "Cascade/NearbyUserManager.h"

#include "Persistence/TovrinPersistence.h"

namespace tovrin {

NearbyUserManager::NearbyUserManager(std::shared_ptr<TovrinPersistence> tovrinPersistence)
    : tovrinPersistence_(std::move(tovrinPersistence)) {
    updateObservation_ = NotificationCenter::defaultCenter()->addObserver(
        NearbyUserDidUpdateNotification, nullptr,
        [this](const Notification& notification) { nearbyUserDidUpdate(notification); });
}

NearbyUserManager::~NearbyUserManager() = default;

Promise<std::shared_ptr<NearbyUser>> NearbyUserManager::retrieveNearbyUserForProfileID(
    const QString& profileID) {
    using Result = Promise<std::shared_ptr<NearbyUser>>;
    if (const auto cached = nearbyUsers_.constFind(profileID); cached != nearbyUsers_.constEnd())
        return Result::resolved(*cached);
    if (!tovrinPersistence_) return Result::resolved(defaultNearbyUserForProfileID(profileID));
    return tovrinPersistence_->getNearbyUserForProfileID(profileID)
        .then([profileID](const std::shared_ptr<NearbyUser>& stored) {
            return stored ? stored : defaultNearbyUserForProfileID(profileID);
        })
        .catchError([profileID](const Error&) { return defaultNearbyUserForProfileID(profileID); });
}

void NearbyUserManager::saveNearbyUser(const std::shared_ptr<NearbyUser>& user, bool persist) {
    if (!user || user->profileID().isEmpty()) return;
    nearbyUsers_.insert(user->profileID(), user);
    if (!persist || !tovrinPersistence_) return;
    // The distance is only true where it was measured, and the online flag is recomputed on reading.
    tovrinPersistence_->saveNearbyUser(
        std::make_shared<NearbyUser>(user->profileID(), user->displayName(), user->mediaHash(), user->age(),
                                     user->lastSeen(), std::nullopt, user->isFavorite(), false));
}

std::shared_ptr<NearbyUser> NearbyUserManager::defaultNearbyUserForProfileID(const QString& profileID) {
    return std::make_shared<NearbyUser>(profileID, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                        std::nullopt, false, false);
}

void NearbyUserManager::nearbyUserDidUpdate(const Notification& notification) {
    saveNearbyUser(notification.userInfo.value(NearbyUserInfoKey).value<std::shared_ptr<NearbyUser>>(),
                   false);
}

}  // namespace tovrin
