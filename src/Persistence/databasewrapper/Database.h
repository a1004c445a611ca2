#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "Persistence/databasewrapper/Binding.h"
#include "platform/foundation/Error.h"

struct sqlite3;

namespace tovrin {

class Cursor;
class PreparedStatement;

// One connection to an SQLite file. Used by one thread at a time. Failures of execution come back
// as values; SQL that does not compile and values that do not bind are programming errors and
// stop the process.
class Database : public std::enable_shared_from_this<Database> {
public:
    // Opens the file read-write, creating it when missing, and makes it and its side files
    // ("-journal", "-wal", "-shm") owner-only. When it can be neither opened nor created the
    // database stays closed and `openError` says why.
    explicit Database(QString path);
    ~Database();

    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }
    sqlite3* database() const { return database_; }
    bool wasCreated() const { return wasCreated_; }
    bool isClosed() const { return isClosed_; }
    const std::optional<Error>& openError() const { return openError_; }

    // Finalizes every statement made through this database that is still alive, whoever holds it,
    // and closes the connection. A second call does nothing.
    void close();

    // Whether the file this connection opened has since been removed or replaced at its path.
    bool hasMoved() const;

    // 0 also when the file cannot be read as a database.
    int userVersion();
    // The first column of the first row as an integer; nothing when there is no row or the SQL
    // cannot run (a file that is no database, say). Never stops the process.
    std::optional<qint64> integerForSQL(const QString& sql);
    qint64 lastInsertRowId() const;

    std::shared_ptr<PreparedStatement> preparedStatementWithSQL(const QString& sql);
    // Compiles and runs one statement; the statement lives as long as the returned cursor.
    std::shared_ptr<Cursor> executeSQL(const QString& sql, const std::vector<Binding>& bindings = {},
                                       Error* error = nullptr);
    // Runs a script of one or more statements; it stops at the first that fails.
    bool executeSQLBatch(const QString& sql, Error* error = nullptr);

    // A database handed to a background queue refuses to run SQL on the main thread from then on.
    void setMainThreadForbidden(bool forbidden) { mainThreadForbidden_ = forbidden; }
    // Stops the process when SQL is about to run where it must not (closed, or on the main thread
    // while forbidden).
    void assertUsable() const;

private:
    friend class PreparedStatement;
    void recordStatement(const std::shared_ptr<PreparedStatement>& statement);

    const QString path_;
    sqlite3* database_ = nullptr;
    bool wasCreated_ = false;
    bool isClosed_ = false;
    std::optional<Error> openError_;
    std::atomic<bool> mainThreadForbidden_ = false;
    std::vector<std::weak_ptr<PreparedStatement>> statements_;
};

// The error of a failed execution: code 1, the SQLite code, "Error executing SQL: %@".
Error databaseErrorForSqliteResult(int resultCode);

}  // namespace tovrin
