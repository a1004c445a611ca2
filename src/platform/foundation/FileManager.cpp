#include "platform/foundation/FileManager.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>

namespace tovrin {

namespace {

std::mutex homeMutex;
QString homePath;

constexpr mode_t GroupAndOtherAccess = S_IRWXG | S_IRWXO;

// Clears the group and other bits of one path, never through a symbolic link; the reason when it
// cannot.
std::optional<QString> restrictOneToOwner(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        if (errno == ENOENT) return std::nullopt;
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    if (S_ISLNK(status.st_mode) || (status.st_mode & GroupAndOtherAccess) == 0) return std::nullopt;
    if (::chmod(name.constData(), status.st_mode & 07777 & ~GroupAndOtherAccess) != 0) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    return std::nullopt;
}

bool failFileOperation(Error* error, int code, const QString& description) {
    if (error != nullptr)
        *error = Error(FileManager::ErrorDomain, code, {{ErrorDescriptionKey, description}});
    return false;
}

// The path alone, or with everything inside when it is a folder (never through a symbolic link).
bool restrictPathToOwner(const QString& path, bool withContents, Error* error) {
    std::optional<QString> failure = restrictOneToOwner(path);
    const QFileInfo info(path);
    if (!failure && withContents && info.isDir() && !info.isSymLink()) {
        QDirIterator entries(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (!failure && entries.hasNext()) {
            const QString entry = entries.next();
            failure = restrictOneToOwner(entry);
            if (failure) *failure = entry + QStringLiteral(": ") + *failure;
        }
    }
    if (!failure) return true;
    qWarning().noquote() << "FileManager: cannot make" << path << "private:" << *failure;
    return failFileOperation(error, 3, QStringLiteral("Cannot make %1 private: %2").arg(path, *failure));
}

}  // namespace

const QString FileManager::ErrorDomain = QStringLiteral("FileManagerErrorDomain");

FileManager::FileManager() {
    // Set once, before the application creates any file and before it starts threads of its own.
    ::umask(S_IRWXG | S_IRWXO);
}

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
    const QString target = QDir::cleanPath(QDir(path).absolutePath());
    const QString home = QDir::cleanPath(homeDirectory());
    const auto isInHome = [&](const QString& folder) {
        return home != QLatin1String("/") && (folder == home || folder.startsWith(home + QLatin1Char('/')));
    };
    QStringList folders;
    for (QString folder = target; folders.isEmpty() || folders.last() != folder;
         folder = QFileInfo(folder).path()) {
        folders.append(folder);
    }
    // From the outermost folder in: the home folder's own are tightened, the missing ones made.
    for (auto folder = folders.crbegin(); folder != folders.crend(); ++folder) {
        const QFileInfo info(*folder);
        if (info.isDir()) {
            const bool tighten = isInHome(*folder) || *folder == target;
            if (tighten && !restrictPathToOwner(*folder, false, error)) return false;
            continue;
        }
        if (*folder != target && !withIntermediateDirectories) {
            return failFileOperation(error, 1, QStringLiteral("Cannot create %1").arg(path));
        }
        if (::mkdir(QFile::encodeName(*folder).constData(), S_IRWXU) != 0) {
            const int failure = errno;
            // Another thread may have made it meanwhile.
            if (QFileInfo(*folder).isDir()) continue;
            return failFileOperation(error, 1,
                                     QStringLiteral("Cannot create %1: %2")
                                         .arg(*folder, QString::fromLocal8Bit(std::strerror(failure))));
        }
    }
    return true;
}

bool FileManager::restrictToOwner(const QString& path, Error* error) const {
    return restrictPathToOwner(path, true, error);
}

bool FileManager::removeItem(const QString& path, Error* error) const {
    const QFileInfo info(path);
    bool removed = false;
    if (info.isDir() && !info.isSymLink()) {
        removed = QDir(path).removeRecursively();
    } else {
        removed = QFile::remove(path);
    }
    if (!removed) return failFileOperation(error, 2, QStringLiteral("Cannot remove %1").arg(path));
    return true;
}

}  // namespace tovrin
