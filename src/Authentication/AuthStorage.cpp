#include "Authentication/AuthStorage.h"

#include "Keychain/MFKeychain.h"
#include "platform/di/Injector.h"

namespace tovrin {

AuthStorage::AuthStorage(std::shared_ptr<MFKeychain> keychain) : keychain_(std::move(keychain)) {}

std::shared_ptr<AuthStorage> AuthStorage::create(Injector& injector) {
    return std::make_shared<AuthStorage>(injector.get<MFKeychain>());
}

void AuthStorage::storeLoginCredentials(const std::optional<LoginCredentials>& credentials) {
    keychain_->setObject(credentials, kLoginCredentialKey);
    cachedCredentials_ = credentials;
}

void AuthStorage::removeStoredLoginCredentials() {
    storeLoginCredentials(std::nullopt);
}

std::optional<LoginCredentials> AuthStorage::loginCredentials() {
    if (!cachedCredentials_)
        cachedCredentials_ = keychain_->objectForKey<LoginCredentials>(kLoginCredentialKey);
    return cachedCredentials_;
}

}  // namespace tovrin
