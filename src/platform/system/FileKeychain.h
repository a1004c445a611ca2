#pragma once

#include <QJsonObject>
#include <QString>
#include <mutex>

#include "platform/system/Keychain.h"

namespace tovrin {

// Items in one file that only the user may read, for machines without a secret service. A file
// that exists but cannot be read or parsed is moved aside to `unreadablePath()` (with a warning in
// the log) and the keychain starts empty; it is never written over.
class FileKeychain : public Keychain {
public:
    // Makes the file's folder and tightens a file that is open to others.
    explicit FileKeychain(QString path);

    // "Library/Keychains/keychain.json" in the home folder.
    static QString defaultPath();

    qint64 addItem(const QString& service, const QString& account, const QByteArray& data,
                   Accessibility accessibility) override;
    qint64 updateItem(const QString& service, const QString& account, const QByteArray& data) override;
    qint64 copyItemData(const QString& service, const QString& account, QByteArray* data) override;
    qint64 deleteItem(const QString& service, const QString& account) override;

    const QString& path() const { return path_; }
    QString unreadablePath() const { return path_ + QStringLiteral(".unreadable"); }

private:
    // False when the file can neither be read nor moved aside.
    bool readItems(QJsonObject* items);
    qint64 write(const QString& service, const QString& account, const QByteArray& data, bool mustExist);

    const QString path_;
    std::mutex mutex_;
};

}  // namespace tovrin
