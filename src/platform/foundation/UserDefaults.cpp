#include "platform/foundation/UserDefaults.h"

#include <QFileInfo>

#include "platform/foundation/FileManager.h"

namespace tovrin {

namespace {

std::mutex standardMutex;
std::shared_ptr<UserDefaults> standardDefaults;

// Settings files are rewritten keeping their permissions, so tightening the file once is enough.
const QString& privateSettingsFile(const QString& filePath) {
    const FileManager& files = FileManager::defaultManager();
    files.createDirectory(QFileInfo(filePath).absolutePath(), true);
    files.restrictToOwner(filePath);
    return filePath;
}

}  // namespace

UserDefaults::UserDefaults(const QString& filePath)
    : settings_(privateSettingsFile(filePath), QSettings::IniFormat) {}

std::shared_ptr<UserDefaults> UserDefaults::standard() {
    std::lock_guard lock(standardMutex);
    if (!standardDefaults) {
        const QString path =
            FileManager::defaultManager().preferencesDirectory() + QStringLiteral("/UserDefaults.ini");
        standardDefaults = std::make_shared<UserDefaults>(path);
    }
    return standardDefaults;
}

void UserDefaults::resetStandard() {
    std::lock_guard lock(standardMutex);
    if (standardDefaults) standardDefaults->synchronize();
    standardDefaults.reset();
}

QVariant UserDefaults::objectForKey(const QString& key) const {
    std::lock_guard lock(mutex_);
    return settings_.value(key);
}

QString UserDefaults::stringForKey(const QString& key) const {
    return objectForKey(key).toString();
}

qint64 UserDefaults::integerForKey(const QString& key) const {
    return objectForKey(key).toLongLong();
}

double UserDefaults::doubleForKey(const QString& key) const {
    return objectForKey(key).toDouble();
}

bool UserDefaults::boolForKey(const QString& key) const {
    return objectForKey(key).toBool();
}

QUrl UserDefaults::URLForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    if (!value.isValid()) return {};
    return QUrl(value.toString());
}

void UserDefaults::setObject(const QVariant& value, const QString& key) {
    std::lock_guard lock(mutex_);
    if (value.isValid()) {
        settings_.setValue(key, value);
    } else {
        settings_.remove(key);
    }
}

void UserDefaults::setInteger(qint64 value, const QString& key) {
    setObject(QVariant(value), key);
}

void UserDefaults::setDouble(double value, const QString& key) {
    setObject(QVariant(value), key);
}

void UserDefaults::setBool(bool value, const QString& key) {
    setObject(QVariant(value), key);
}

void UserDefaults::setURL(const QUrl& url, const QString& key) {
    setObject(url.isEmpty() ? QVariant() : QVariant(url.toString()), key);
}

void UserDefaults::removeObjectForKey(const QString& key) {
    setObject(QVariant(), key);
}

bool UserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

QString UserDefaults::filePath() const {
    return settings_.fileName();
}

}  // namespace tovrin
