#include "Preferences/LocalPreferences.h"

#include "platform/foundation/UserDefaults.h"

namespace tovrin {

LocalPreferences::LocalPreferences(std::shared_ptr<UserDefaults> userDefaults)
    : userDefaults_(std::move(userDefaults)) {}

quint64 LocalPreferences::unitSystem() const {
    return static_cast<quint64>(userDefaults_->integerForKey(LocalPreferencesUnitSystem));
}

void LocalPreferences::setUnitSystem(quint64 unitSystem) {
    userDefaults_->setInteger(static_cast<qint64>(unitSystem), LocalPreferencesUnitSystem);
}

bool LocalPreferences::isFavoritesCascadeFilteredByOnlineNow() const {
    return userDefaults_->boolForKey(LocalPreferencesFavoritesCascadeFilteredByOnlineNow);
}

void LocalPreferences::setFavoritesCascadeFilteredByOnlineNow(bool filtered) {
    userDefaults_->setBool(filtered, LocalPreferencesFavoritesCascadeFilteredByOnlineNow);
}

std::optional<QString> LocalPreferences::imageHashPendingModeration() const {
    const QVariant value = userDefaults_->objectForKey(ImageHashPendingModeration);
    if (!value.isValid()) return std::nullopt;
    return value.toString();
}

void LocalPreferences::setImageHashPendingModeration(const std::optional<QString>& hash) {
    userDefaults_->setObject(hash ? QVariant(*hash) : QVariant(), ImageHashPendingModeration);
}

void LocalPreferences::reset() {
    userDefaults_->removeObjectForKey(LocalPreferencesFavoritesCascadeFilteredByOnlineNow);
    userDefaults_->removeObjectForKey(ImageHashPendingModeration);
}

}  // namespace tovrin
