#include "platform/system/Keychain.h"

#include <QDebug>

#include "platform/system/FileKeychain.h"
#include "platform/system/SecretServiceKeychain.h"

namespace tovrin {

std::shared_ptr<Keychain> Keychain::system() {
    static const std::shared_ptr<Keychain> keychain = []() -> std::shared_ptr<Keychain> {
        if (SecretServiceKeychain::isAvailable(std::chrono::seconds(3))) {
            return std::make_shared<SecretServiceKeychain>();
        }
        const QString path = FileKeychain::defaultPath();
        qWarning().noquote() << "Keychain: no secret service answers on this desktop; keeping secrets in"
                             << path << "(readable only by you)";
        return std::make_shared<FileKeychain>(path);
    }();
    return keychain;
}

}  // namespace tovrin
