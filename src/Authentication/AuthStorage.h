#pragma once

#include <memory>
#include <optional>

#include "Authentication/LoginCredentials.h"
#include "platform/di/Inject.h"

namespace tovrin {

class MFKeychain;

inline const QString kLoginCredentialKey = QStringLiteral("LoginCredentials");

// Keeps the member's e-mail and password across launches, in the keychain, with a copy in memory:
// the keychain is read once per process (an absent pair too), and every write refreshes the copy.
class AuthStorage {
public:
    explicit AuthStorage(std::shared_ptr<MFKeychain> keychain);

    using Dependencies = Inject<MFKeychain>;

    // The in-memory copy changes whatever the keychain reports; storing nothing deletes the item.
    void storeLoginCredentials(const std::optional<LoginCredentials>& credentials);
    void removeStoredLoginCredentials();
    // Read from the keychain at the first call only, unless a write came first.
    std::optional<LoginCredentials> loginCredentials();

    const std::shared_ptr<MFKeychain>& keychain() const { return keychain_; }
    const std::optional<LoginCredentials>& cachedCredentials() const { return cachedCredentials_; }

private:
    std::shared_ptr<MFKeychain> keychain_;
    std::optional<LoginCredentials> cachedCredentials_;
    // Whether the copy says what the keychain holds, absent or not.
    bool cacheIsCurrent_ = false;
};

}  // namespace tovrin
