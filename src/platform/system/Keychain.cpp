#include "platform/system/Keychain.h"

#include "platform/system/FallbackKeychain.h"
#include "platform/system/FileKeychain.h"

namespace tovrin {

std::shared_ptr<Keychain> Keychain::system() {
    static const std::shared_ptr<Keychain> keychain =
        std::make_shared<FallbackKeychain>(std::make_shared<SecretServiceKeychain>(),
                                           std::make_shared<FileKeychain>(FileKeychain::defaultPath()));
    return keychain;
}

}  // namespace tovrin
