#pragma once

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>

namespace tovrin {

// What the stores of this process know about their database files: deletions still queued on an
// old store (a new store on the same file waits for them), and files whose member data could not
// be removed (never reused as they are). Safe on any thread.
class DatabaseFileRegistry {
public:
    static DatabaseFileRegistry& shared();

    void beginDeletion(const QString& path);
    void finishDeletion(const QString& path, bool cleared);
    // Blocks until no deletion of the file is pending; whether there was one.
    bool waitForPendingDeletions(const QString& path);
    bool hasPendingDeletion(const QString& path) const;
    // Whether a store is blocked in `waitForPendingDeletions` for the file.
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
    std::map<QString, int> pendingDeletions_;
    std::map<QString, int> waiters_;
    std::set<QString> uncleared_;
    FileRemover remover_;
};

}  // namespace tovrin
