#include "Cascade/FavoritesService.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinServiceError.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/URLPathSegment.h"

namespace tovrin {

namespace {

// A string as it is, a whole number as its digits; nothing for anything else, which names no
// member and could never match one.
std::optional<QString> favoriteIDText(const QJsonValue& value) {
    if (value.isString()) return value.toString();
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) == number && std::fabs(number) <= 9.0e15) return QString::number(qint64(number));
    return QString::number(number, 'g', 17);
}

}  // namespace

const QString& FavoritesService::baseFavoritesPathComponent() const {
    static const QString path = QStringLiteral("/v3/me/favorites");
    return path;
}

Promise<QStringList> FavoritesService::retrieveFavorites() {
    return JSONWithRequest(TovrinAPIRequest::GETRequestWithPath(baseFavoritesPathComponent(), std::nullopt))
        .then([](const QJsonValue& answer) {
            QStringList ids;
            for (const QJsonValue& element : answer.toObject().value(QStringLiteral("favorites")).toArray()) {
                if (const auto id = favoriteIDText(element)) ids.append(*id);
            }
            return ids;
        });
}

Promise<std::shared_ptr<NearbyUser>> FavoritesService::addUserToFavorites(
    const std::shared_ptr<NearbyUser>& user) {
    return sendForUser(user, true);
}

Promise<std::shared_ptr<NearbyUser>> FavoritesService::removeUserFromFavorites(
    const std::shared_ptr<NearbyUser>& user) {
    return sendForUser(user, false);
}

Promise<std::shared_ptr<NearbyUser>> FavoritesService::sendForUser(const std::shared_ptr<NearbyUser>& user,
                                                                   bool add) {
    using Result = std::shared_ptr<NearbyUser>;
    const std::optional<QString> path = user ? favoritesPathComponentForUser(*user) : std::nullopt;
    if (!path) return Promise<Result>::rejected(tovrinServiceError(TovrinServiceErrorGeneric));
    auto request = add ? TovrinAPIRequest::POSTRequestWithPath(*path, std::nullopt, std::nullopt)
                       : TovrinAPIRequest::DELETERequestWithPath(*path, std::nullopt, std::nullopt);
    // The service answers both with a body; an empty answer is no confirmation.
    return JSONWithRequest(std::move(request)).then([user, add](const QJsonValue& answer) {
        if (answer.isUndefined())
            return Promise<Result>::rejected(tovrinServiceError(TovrinServiceErrorDataNotReadable));
        return Promise<Result>::resolved(userAsFavorite(*user, add));
    });
}

std::shared_ptr<NearbyUser> FavoritesService::userAsFavorite(const NearbyUser& user, bool favorite) {
    return std::make_shared<NearbyUser>(user.profileID(), user.displayName(), user.mediaHash(), user.age(),
                                        user.lastSeen(), user.distance(), favorite, user.isOnline());
}

std::optional<QString> FavoritesService::favoritesPathComponentForUser(const NearbyUser& user) const {
    return URLPathByAppendingSegment(baseFavoritesPathComponent(), user.profileID());
}

}  // namespace tovrin
