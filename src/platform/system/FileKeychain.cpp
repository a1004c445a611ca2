#include "platform/system/FileKeychain.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <optional>

#include "platform/foundation/FileManager.h"

namespace tovrin {

namespace {

// {"service": {"account": "<base64 data>"}}; none when the file is missing. Nothing, with the reason,
// when it exists but cannot be read or is not such a document.
std::optional<QJsonObject> readKeychainFile(const QString& path, QString* reason) {
    QFile file(path);
    if (!file.exists()) return QJsonObject();
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *reason = parseError.errorString();
        return std::nullopt;
    }
    if (!document.isObject()) {
        *reason = QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    return document.object();
}

bool writeKeychainFile(const QString& path, const QJsonObject& items) {
    FileManager::defaultManager().createDirectory(QFileInfo(path).absolutePath(), true);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    // The temporary file gets the owner-only permissions before any secret is written to it.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(QJsonDocument(items).toJson(QJsonDocument::Compact));
    return file.commit();
}

}  // namespace

FileKeychain::FileKeychain(QString path) : path_(std::move(path)) {
    const FileManager& files = FileManager::defaultManager();
    files.createDirectory(QFileInfo(path_).absolutePath(), true);
    files.restrictToOwner(path_);
}

QString FileKeychain::defaultPath() {
    return FileManager::defaultManager().homeDirectory() + QStringLiteral("/Library/Keychains/keychain.json");
}

bool FileKeychain::readItems(QJsonObject* items) {
    QString reason;
    if (std::optional<QJsonObject> read = readKeychainFile(path_, &reason)) {
        *items = std::move(*read);
        return true;
    }
    // Writing an item now would replace the file; keep it for whoever wants to look into it.
    const QString aside = unreadablePath();
    const FileManager& files = FileManager::defaultManager();
    if (files.fileExists(aside)) files.removeItem(aside);
    if (!QDir().rename(path_, aside)) {
        qWarning().noquote() << "Keychain: cannot read" << path_ << "(" + reason + ") nor move it aside to"
                             << aside << "; leaving it as it is";
        return false;
    }
    qWarning().noquote() << "Keychain: cannot read" << path_ << "(" + reason + "); moved it aside to" << aside
                         << "and starting with no items";
    *items = QJsonObject();
    return true;
}

qint64 FileKeychain::addItem(const QString& service, const QString& account, const QByteArray& data,
                             Accessibility) {
    return write(service, account, data, false);
}

qint64 FileKeychain::updateItem(const QString& service, const QString& account, const QByteArray& data) {
    return write(service, account, data, true);
}

qint64 FileKeychain::write(const QString& service, const QString& account, const QByteArray& data,
                           bool mustExist) {
    std::lock_guard lock(mutex_);
    QJsonObject items;
    if (!readItems(&items)) return StatusIO;
    QJsonObject accounts = items.value(service).toObject();
    if (accounts.contains(account) != mustExist) return mustExist ? StatusItemNotFound : StatusDuplicateItem;
    accounts.insert(account, QString::fromLatin1(data.toBase64()));
    items.insert(service, accounts);
    return writeKeychainFile(path_, items) ? StatusSuccess : StatusIO;
}

qint64 FileKeychain::copyItemData(const QString& service, const QString& account, QByteArray* data) {
    std::lock_guard lock(mutex_);
    QJsonObject items;
    if (!readItems(&items)) return StatusIO;
    const QJsonValue value = items.value(service).toObject().value(account);
    if (!value.isString()) return StatusItemNotFound;
    if (data) *data = QByteArray::fromBase64(value.toString().toLatin1());
    return StatusSuccess;
}

qint64 FileKeychain::deleteItem(const QString& service, const QString& account) {
    std::lock_guard lock(mutex_);
    QJsonObject items;
    if (!readItems(&items)) return StatusIO;
    QJsonObject accounts = items.value(service).toObject();
    if (!accounts.contains(account)) return StatusItemNotFound;
    accounts.remove(account);
    if (accounts.isEmpty()) {
        items.remove(service);
    } else {
        items.insert(service, accounts);
    }
    return writeKeychainFile(path_, items) ? StatusSuccess : StatusIO;
}

}  // namespace tovrin
