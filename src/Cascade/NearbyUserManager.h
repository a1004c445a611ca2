#pragma once

#include <QHash>
#include <QString>
#include <memory>

#include "API/NearbyUser.h"
#include "platform/di/Inject.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class TovrinPersistence;

// The signed-in member's cache of other members' records by profile id: memory first, then the
// store, else a record holding only the id. One per session; main thread only.
class NearbyUserManager {
public:
    explicit NearbyUserManager(std::shared_ptr<TovrinPersistence> tovrinPersistence);
    ~NearbyUserManager();
    NearbyUserManager(const NearbyUserManager&) = delete;
    NearbyUserManager& operator=(const NearbyUserManager&) = delete;

    using Dependencies = Inject<TovrinPersistence>;

    // Never rejects. A cached record comes back already resolved; a stored one is read afresh each
    // time (its online flag recomputed) and not cached.
    Promise<std::shared_ptr<NearbyUser>> retrieveNearbyUserForProfileID(const QString& profileID);
    // Caches the very record; persisting stores it without distance and offline. A record without
    // a profile id changes nothing.
    void saveNearbyUser(const std::shared_ptr<NearbyUser>& user, bool persist);
    static std::shared_ptr<NearbyUser> defaultNearbyUserForProfileID(const QString& profileID);

    const std::shared_ptr<TovrinPersistence>& tovrinPersistence() const { return tovrinPersistence_; }

private:
    void nearbyUserDidUpdate(const Notification& notification);

    std::shared_ptr<TovrinPersistence> tovrinPersistence_;
    QHash<QString, std::shared_ptr<NearbyUser>> nearbyUsers_;
    NotificationToken updateObservation_;
};

}  // namespace tovrin
