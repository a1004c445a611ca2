#include "Persistence/DatabaseFileRegistry.h"

#include <QDebug>
#include <QFile>

#include "platform/foundation/FileManager.h"

namespace tovrin {

DatabaseFileRegistry& DatabaseFileRegistry::shared() {
    static DatabaseFileRegistry registry;
    return registry;
}

DatabaseFileRegistry::DatabaseFileRegistry() : remover_(defaultFileRemover()) {}

DatabaseFileRegistry::Ticket DatabaseFileRegistry::beginDeletion(const QString& path) {
    std::lock_guard lock(mutex_);
    pendingDeletions_[path].insert(++lastTicket_);
    return lastTicket_;
}

void DatabaseFileRegistry::finishDeletion(const QString& path, Ticket ticket, bool cleared) {
    {
        std::lock_guard lock(mutex_);
        const auto pending = pendingDeletions_.find(path);
        if (pending != pendingDeletions_.end()) {
            pending->second.erase(ticket);
            if (pending->second.empty()) pendingDeletions_.erase(pending);
        }
        if (cleared) {
            uncleared_.erase(path);
        } else {
            uncleared_.insert(path);
        }
    }
    deletionsChanged_.notify_all();
}

std::optional<DatabaseFileRegistry::Ticket> DatabaseFileRegistry::newestPendingDeletion(
    const QString& path) const {
    std::lock_guard lock(mutex_);
    const auto pending = pendingDeletions_.find(path);
    if (pending == pendingDeletions_.end()) return std::nullopt;
    return *pending->second.rbegin();
}

void DatabaseFileRegistry::waitForDeletionsUpTo(const QString& path, Ticket ticket) {
    std::unique_lock lock(mutex_);
    const auto settled = [&] {
        const auto pending = pendingDeletions_.find(path);
        return pending == pendingDeletions_.end() || *pending->second.begin() > ticket;
    };
    if (settled()) return;
    ++waiters_[path];
    deletionsChanged_.wait(lock, settled);
    if (--waiters_[path] <= 0) waiters_.erase(path);
}

bool DatabaseFileRegistry::hasPendingDeletion(const QString& path) const {
    std::lock_guard lock(mutex_);
    return pendingDeletions_.contains(path);
}

bool DatabaseFileRegistry::isAwaited(const QString& path) const {
    std::lock_guard lock(mutex_);
    return waiters_.contains(path);
}

bool DatabaseFileRegistry::isUncleared(const QString& path) const {
    std::lock_guard lock(mutex_);
    return uncleared_.contains(path);
}

void DatabaseFileRegistry::setCleared(const QString& path, bool cleared) {
    std::lock_guard lock(mutex_);
    if (cleared) {
        uncleared_.erase(path);
    } else {
        uncleared_.insert(path);
    }
}

void DatabaseFileRegistry::setFileRemover(FileRemover remover) {
    std::lock_guard lock(mutex_);
    remover_ = std::move(remover);
}

DatabaseFileRegistry::FileRemover DatabaseFileRegistry::defaultFileRemover() {
    return [](const QString& path, QString* errorText) {
        Error error;
        const bool removed = FileManager::defaultManager().removeItem(path, &error);
        if (!removed && errorText) *errorText = error.description();
        return removed;
    };
}

QStringList DatabaseFileRegistry::databaseFilePaths(const QString& path) {
    return {path, path + QStringLiteral("-journal"), path + QStringLiteral("-wal"),
            path + QStringLiteral("-shm")};
}

bool DatabaseFileRegistry::removeDatabaseFiles(const QString& path) {
    bool cleared = true;
    for (const QString& file : databaseFilePaths(path)) {
        if (QFile::exists(file) && !removeOrEmpty(file)) cleared = false;
    }
    return cleared;
}

bool DatabaseFileRegistry::removeOrEmpty(const QString& path) {
    FileRemover remover;
    {
        std::lock_guard lock(mutex_);
        remover = remover_;
    }
    QString errorText;
    if (remover(path, &errorText)) return true;
    qWarning().noquote() << QStringLiteral("Could not delete %1. Error: %2").arg(path, errorText);
    // An empty file holds no data, and SQLite takes it for an empty database.
    QFile file(path);
    if (file.resize(0)) return true;
    qWarning().noquote()
        << QStringLiteral("Could not empty %1 either. Error: %2").arg(path, file.errorString());
    return false;
}

}  // namespace tovrin
