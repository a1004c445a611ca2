#include "platform/system/FileKeychain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "platform/foundation/FileManager.h"

namespace tovrin {

namespace {

// {"service": {"account": "<base64 data>"}}
QJsonObject readItems(const QString& path, bool* readable) {
    QFile file(path);
    *readable = true;
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly)) {
        *readable = false;
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool writeItems(const QString& path, const QJsonObject& items) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    // The temporary file gets the owner-only permissions before any secret is written to it.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(QJsonDocument(items).toJson(QJsonDocument::Compact));
    return file.commit();
}

}  // namespace

FileKeychain::FileKeychain(QString path) : path_(std::move(path)) {}

QString FileKeychain::defaultPath() {
    return FileManager::defaultManager().homeDirectory() + QStringLiteral("/Library/Keychains/keychain.json");
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
    bool readable = false;
    QJsonObject items = readItems(path_, &readable);
    if (!readable) return StatusIO;
    QJsonObject accounts = items.value(service).toObject();
    if (accounts.contains(account) != mustExist) return mustExist ? StatusItemNotFound : StatusDuplicateItem;
    accounts.insert(account, QString::fromLatin1(data.toBase64()));
    items.insert(service, accounts);
    return writeItems(path_, items) ? StatusSuccess : StatusIO;
}

qint64 FileKeychain::copyItemData(const QString& service, const QString& account, QByteArray* data) {
    std::lock_guard lock(mutex_);
    bool readable = false;
    const QJsonObject items = readItems(path_, &readable);
    if (!readable) return StatusIO;
    const QJsonValue value = items.value(service).toObject().value(account);
    if (!value.isString()) return StatusItemNotFound;
    if (data) *data = QByteArray::fromBase64(value.toString().toLatin1());
    return StatusSuccess;
}

qint64 FileKeychain::deleteItem(const QString& service, const QString& account) {
    std::lock_guard lock(mutex_);
    bool readable = false;
    QJsonObject items = readItems(path_, &readable);
    if (!readable) return StatusIO;
    QJsonObject accounts = items.value(service).toObject();
    if (!accounts.contains(account)) return StatusItemNotFound;
    accounts.remove(account);
    if (accounts.isEmpty()) {
        items.remove(service);
    } else {
        items.insert(service, accounts);
    }
    return writeItems(path_, items) ? StatusSuccess : StatusIO;
}

}  // namespace tovrin
