#include "Authentication/AuthStorage.h"

#include "Keychain/MFKeychain.h"

namespace tovrin {

AuthStorage::AuthStorage(std::shared_ptr<MFKeychain> keychain) : keychain_(std::move(keychain)) {}

void AuthStorage::storeLoginCredentials(const std::optional<LoginCredentials>& credentials) {
    keychain_->setObject(credentials, kLoginCredentialKey);
    cachedCredentials_ = credentials;
    cacheIsCurrent_ = true;
}

void AuthStorage::removeStoredLoginCredentials() {
    storeLoginCredentials(std::nullopt);
}

std::optional<LoginCredentials> AuthStorage::loginCredentials() {
    if (!cacheIsCurrent_) {
        cachedCredentials_ = keychain_->objectForKey<LoginCredentials>(kLoginCredentialKey);
        cacheIsCurrent_ = true;
    }
    return cachedCredentials_;
}

}  // namespace tovrin
