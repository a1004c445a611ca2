#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "API/NearbyUser.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class FavoritesService;
class LocalPreferences;

// The signed-in member's favourite profile ids, loaded once when the member's session starts and
// kept in step with the member's own adds and removes; and the favourites grid's online-only
// switch, which lives in the local preferences. One per session, made by the user session; main
// thread only.
class FavoritesManager {
public:
    // Asks the service for the list at once.
    FavoritesManager(std::shared_ptr<FavoritesService> favoritesService,
                     std::shared_ptr<LocalPreferences> localPreferences);

    using Dependencies = Inject<FavoritesService, LocalPreferences>;

    // False for every id until the list arrived or the member added one.
    bool isFavorite(const QString& profileID) const;
    // Once the service accepted: the id appended (also when already there) and the service's copy
    // given. A failure changes nothing and passes the service's error on.
    Promise<std::shared_ptr<NearbyUser>> addUserToFavorites(const std::shared_ptr<NearbyUser>& user);
    // Once the service accepted: every occurrence of the id removed.
    Promise<std::shared_ptr<NearbyUser>> removeUserFromFavorites(const std::shared_ptr<NearbyUser>& user);

    bool isFavoritesFilteredByOnlineNow() const;
    void setFavoritesFilteredByOnlineNow(bool filtered);

    const QStringList& favorites() const { return list_->favorites; }

private:
    struct Change {
        QString profileID;
        bool added;
    };
    // Shared with the answers still on their way, which may arrive after the manager is gone.
    struct List {
        void apply(const Change& change);
        // A change that completed while the load was on its way.
        void changed(const Change& change);
        void loaded(const QStringList& ids);

        QStringList favorites;
        bool loading = false;
        // The service may have read the list before these changes: they are applied again on top.
        std::vector<Change> changesWhileLoading;
    };

    Promise<std::shared_ptr<NearbyUser>> change(const std::shared_ptr<NearbyUser>& user, bool add);

    std::shared_ptr<FavoritesService> favoritesService_;
    std::shared_ptr<LocalPreferences> localPreferences_;
    std::shared_ptr<List> list_ = std::make_shared<List>();
};

}  // namespace tovrin
