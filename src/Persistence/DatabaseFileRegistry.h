#pragma once

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace tovrin {

// What the stores of this process know about their database files: deletions still queued on an
// old store (a new store on the same file waits for them, on its own queue), and files whose
// member data could not be removed (never reused as they are). Safe on any thread.
class DatabaseFileRegistry {
public:
    static DatabaseFileRegistry& shared();

    // Each deletion has a ticket, increasing in the order deletions begin.
    using Ticket = quint64;
    Ticket beginDeletion(const QString& path);
    void finishDeletion(const QString& path, Ticket ticket, bool cleared);
    // The newest deletion of the file still pending, if any.
    std::optional<Ticket> newestPendingDeletion(const QString& path) const;
    // Blocks until no deletion of the file up to the ticket is pending; later ones are not waited
    // for, so a store that asks for its own deletion meanwhile does not wait for itself.
    void waitForDeletionsUpTo(const QString& path, Ticket ticket);
    bool hasPendingDeletion(const QString& path) const;
    // Whether a store is blocked in `waitForDeletionsUpTo` for the file.
    bool isAwaited(const QString& path) const;

    // A file whose data a deletion could not remove.
    bool isUncleared(const QString& path) const;
    void setCleared(const QString& path, bool cleared);

    // Removes the file with its "-journal", "-wal" and "-shm" siblings; a file that cannot be
    // removed is emptied instead. Whether no data of the file is left. Writes a log line for each
    // failure.
    bool removeDatabaseFiles(const QString& path);

    // How single files are removed; the file manager's removal unless replaced.
    using FileRemover = std::function<bool(const QString& path, QString* errorText)>;
    void setFileRemover(FileRemover remover);
    static FileRemover defaultFileRemover();

    static QStringList databaseFilePaths(const QString& path);

private:
    DatabaseFileRegistry();
    bool removeOrEmpty(const QString& path);

    mutable std::mutex mutex_;
    std::condition_variable deletionsChanged_;
    Ticket lastTicket_ = 0;
    std::map<QString, std::set<Ticket>> pendingDeletions_;
    std::map<QString, int> waiters_;
    std::set<QString> uncleared_;
    FileRemover remover_;
};

}  // namespace tovrin
