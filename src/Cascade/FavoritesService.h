#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "API/NearbyUser.h"
#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class TovrinWebAPIThrottler;

// The signed-in member's list of favourite members on the service. Failures come as the web client
// and the throttler give them (7 once the service's limit of favourites is reached); an add or a
// remove whose answer has no JSON body fails with 9.
class FavoritesService : public ThrottledService {
public:
    using ThrottledService::ThrottledService;

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler>;

    const QString& baseFavoritesPathComponent() const;

    // GET the list: the ids in the service's order, a number as its decimal digits. A missing
    // "favorites" is an empty list; elements that name no member are left out.
    Promise<QStringList> retrieveFavorites();
    // POST to the member's path, without a body: a copy of the user marked as favourite.
    Promise<std::shared_ptr<NearbyUser>> addUserToFavorites(const std::shared_ptr<NearbyUser>& user);
    // DELETE the member's path, without a body: a copy marked as not favourite.
    Promise<std::shared_ptr<NearbyUser>> removeUserFromFavorites(const std::shared_ptr<NearbyUser>& user);

    // Every field of the user, the favourite flag as given (the online flag is copied, not
    // recomputed).
    static std::shared_ptr<NearbyUser> userAsFavorite(const NearbyUser& user, bool favorite);
    // The base path, "/" and the profile id as one segment; nothing for an id that cannot be one
    // ("", "." or ".."), which would address the list itself or what lies above it.
    std::optional<QString> favoritesPathComponentForUser(const NearbyUser& user) const;

private:
    Promise<std::shared_ptr<NearbyUser>> sendForUser(const std::shared_ptr<NearbyUser>& user, bool add);
};

}  // namespace tovrin
