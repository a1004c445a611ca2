#include "Cascade/FavoritesManager.h"

#include "Cascade/FavoritesService.h"
#include "Preferences/LocalPreferences.h"

namespace tovrin {

// A failed load is told to nobody and not tried again: the list keeps what the member added since.
FavoritesManager::FavoritesManager(std::shared_ptr<FavoritesService> favoritesService,
                                   std::shared_ptr<LocalPreferences> localPreferences)
    : favoritesService_(std::move(favoritesService)), localPreferences_(std::move(localPreferences)) {
    if (!favoritesService_) return;
    list_->loading = true;
    favoritesService_->retrieveFavorites()
        .then([list = std::weak_ptr(list_)](const QStringList& ids) {
            if (const auto kept = list.lock()) kept->loaded(ids);
        })
        .catchError([list = std::weak_ptr(list_)](const Error&) {
            if (const auto kept = list.lock()) kept->loading = false;
        });
}

bool FavoritesManager::isFavorite(const QString& profileID) const {
    return list_->favorites.contains(profileID);
}

Promise<std::shared_ptr<NearbyUser>> FavoritesManager::addUserToFavorites(
    const std::shared_ptr<NearbyUser>& user) {
    return change(user, true);
}

Promise<std::shared_ptr<NearbyUser>> FavoritesManager::removeUserFromFavorites(
    const std::shared_ptr<NearbyUser>& user) {
    return change(user, false);
}

Promise<std::shared_ptr<NearbyUser>> FavoritesManager::change(const std::shared_ptr<NearbyUser>& user,
                                                              bool add) {
    auto sent =
        add ? favoritesService_->addUserToFavorites(user) : favoritesService_->removeUserFromFavorites(user);
    return sent.then([list = list_, add](const std::shared_ptr<NearbyUser>& changed) {
        list->changed({changed->profileID(), add});
        return changed;
    });
}

bool FavoritesManager::isFavoritesFilteredByOnlineNow() const {
    return localPreferences_->isFavoritesCascadeFilteredByOnlineNow();
}

void FavoritesManager::setFavoritesFilteredByOnlineNow(bool filtered) {
    localPreferences_->setFavoritesCascadeFilteredByOnlineNow(filtered);
}

void FavoritesManager::List::apply(const Change& change) {
    if (change.added) {
        favorites.append(change.profileID);
    } else {
        favorites.removeAll(change.profileID);
    }
}

void FavoritesManager::List::changed(const Change& change) {
    apply(change);
    if (loading) changesWhileLoading.push_back(change);
}

void FavoritesManager::List::loaded(const QStringList& ids) {
    favorites = ids;
    for (const Change& change : changesWhileLoading) apply(change);
    changesWhileLoading.clear();
    loading = false;
}

}  // namespace tovrin
