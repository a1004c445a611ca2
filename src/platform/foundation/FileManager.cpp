#include "platform/foundation/FileManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <mutex>

namespace tovrin {

namespace {

std::mutex homeMutex;
QString homePath;

}  // namespace

const QString FileManager::ErrorDomain = QStringLiteral("FileManagerErrorDomain");

FileManager& FileManager::defaultManager() {
    static FileManager manager;
    return manager;
}

QString FileManager::homeDirectory() const {
    std::lock_guard lock(homeMutex);
    if (homePath.isEmpty()) homePath = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return homePath;
}

void FileManager::setHomeDirectory(const QString& path) {
    std::lock_guard lock(homeMutex);
    homePath = QDir(path).absolutePath();
}

QString FileManager::libraryDirectory(const char* name) const {
    return homeDirectory() + QStringLiteral("/Library/") + QLatin1String(name);
}

QString FileManager::applicationSupportDirectory() const {
    return libraryDirectory("Application Support");
}

QString FileManager::preferencesDirectory() const {
    return libraryDirectory("Preferences");
}

QString FileManager::cachesDirectory() const {
    return libraryDirectory("Caches");
}

bool FileManager::fileExists(const QString& path) const {
    return QFileInfo::exists(path);
}

bool FileManager::createDirectory(const QString& path, bool withIntermediateDirectories, Error* error) const {
    const bool created = withIntermediateDirectories ? QDir().mkpath(path) : QDir().mkdir(path);
    if (!created && error != nullptr) {
        *error = Error(ErrorDomain, 1, {{ErrorDescriptionKey, QStringLiteral("Cannot create %1").arg(path)}});
    }
    return created;
}

bool FileManager::removeItem(const QString& path, Error* error) const {
    const QFileInfo info(path);
    bool removed = false;
    if (info.isDir() && !info.isSymLink()) {
        removed = QDir(path).removeRecursively();
    } else {
        removed = QFile::remove(path);
    }
    if (!removed && error != nullptr) {
        *error = Error(ErrorDomain, 2, {{ErrorDescriptionKey, QStringLiteral("Cannot remove %1").arg(path)}});
    }
    return removed;
}

}  // namespace tovrin
