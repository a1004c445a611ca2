#pragma once

#include <QString>
#include <mutex>

#include "platform/system/Keychain.h"

namespace tovrin {

// Items in one file that only the user may read, for machines without a secret service.
class FileKeychain : public Keychain {
public:
    explicit FileKeychain(QString path);

    // "Library/Keychains/keychain.json" in the home folder.
    static QString defaultPath();

    qint64 addItem(const QString& service, const QString& account, const QByteArray& data,
                   Accessibility accessibility) override;
    qint64 updateItem(const QString& service, const QString& account, const QByteArray& data) override;
    qint64 copyItemData(const QString& service, const QString& account, QByteArray* data) override;
    qint64 deleteItem(const QString& service, const QString& account) override;

    const QString& path() const { return path_; }

private:
    qint64 write(const QString& service, const QString& account, const QByteArray& data, bool mustExist);

    const QString path_;
    std::mutex mutex_;
};

}  // namespace tovrin
