#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "platform/di/Inject.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/system/Keychain.h"

namespace tovrin {

class Bundle;

// One archived object per key, each a generic-password item whose service is the key and whose
// account is the application's bundle identifier.
class MFKeychain {
public:
    MFKeychain(std::shared_ptr<Keychain> keychain, std::shared_ptr<Bundle> bundle);
    virtual ~MFKeychain() = default;

    using Dependencies = Inject<Keychain, Bundle>;

    // An object adds or updates the item; nothing deletes it. Whether the keychain reported success.
    template <Archivable T>
    bool setObject(const std::optional<T>& object, const QString& key) {
        if (!object) return setData(std::nullopt, key);
        return setData(KeyedArchiver::archivedData(T::ArchiveClassName, object->encodeWithCoder()), key);
    }

    // The stored object, or nothing when there is none or it does not read back as a T.
    template <Archivable T>
    std::optional<T> objectForKey(const QString& key) {
        const std::optional<QByteArray> data = dataForKey(key);
        if (!data) return std::nullopt;
        const std::optional<QJsonObject> values = KeyedArchiver::unarchivedValues(*data, T::ArchiveClassName);
        if (!values) return std::nullopt;
        return T::decodeWithCoder(*values);
    }

    virtual bool setData(const std::optional<QByteArray>& data, const QString& key);
    virtual std::optional<QByteArray> dataForKey(const QString& key);

private:
    QString account() const;

    std::shared_ptr<Keychain> keychain_;
    std::shared_ptr<Bundle> bundle_;
};

}  // namespace tovrin
