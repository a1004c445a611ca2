#include "Keychain/MFKeychain.h"

#include <QDebug>

#include "platform/foundation/Bundle.h"

namespace tovrin {

MFKeychain::MFKeychain(std::shared_ptr<Keychain> keychain, std::shared_ptr<Bundle> bundle)
    : keychain_(std::move(keychain)), bundle_(std::move(bundle)) {}

QString MFKeychain::account() const {
    return bundle_->bundleIdentifier();
}

bool MFKeychain::setData(const std::optional<QByteArray>& data, const QString& key) {
    if (!data) return keychain_->deleteItem(key, account()) == Keychain::StatusSuccess;
    qint64 status = keychain_->addItem(key, account(), *data, Keychain::Accessibility::WhenUnlocked);
    if (status == Keychain::StatusDuplicateItem) status = keychain_->updateItem(key, account(), *data);
    return status == Keychain::StatusSuccess;
}

std::optional<QByteArray> MFKeychain::dataForKey(const QString& key) {
    QByteArray data;
    const qint64 status = keychain_->copyItemData(key, account(), &data);
    if (status == Keychain::StatusSuccess) return data;
    if (status == Keychain::StatusMissingEntitlement)
        qWarning("Keychain access failed due to known iOS issue");
    return std::nullopt;
}

}  // namespace tovrin
