#include "Media/MyProfileImageManager.h"

#include "Preferences/LocalPreferences.h"

namespace tovrin {

MyProfileImageManager::MyProfileImageManager(std::shared_ptr<LocalPreferences> localPreferences)
    : localPreferences_(std::move(localPreferences)) {}

void MyProfileImageManager::setImageHashPendingModeration(const std::optional<QString>& imageHash) {
    localPreferences_->setImageHashPendingModeration(imageHash.value_or(DefaultValue));
}

void MyProfileImageManager::clearModeratedImageHash() {
    localPreferences_->setImageHashPendingModeration(std::nullopt);
}

bool MyProfileImageManager::shouldShowOverlayForImageHash(const std::optional<QString>& imageHash) const {
    const std::optional<QString> pending = localPreferences_->imageHashPendingModeration();
    return pending && *pending == imageHash.value_or(DefaultValue);
}

}  // namespace tovrin
