#include "Persistence/databasewrapper/Database.h"

#include <sqlite3.h>

#include <QDebug>
#include <QFileInfo>
#include <algorithm>

#include "Persistence/databasewrapper/Cursor.h"
#include "Persistence/databasewrapper/DatabaseErrors.h"
#include "Persistence/databasewrapper/PreparedStatement.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/MainQueue.h"

namespace tovrin {

namespace {

int open(const QString& path, int flags, sqlite3** database) {
    const int result = sqlite3_open_v2(QFile::encodeName(path).constData(), database, flags, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_close_v2(*database);
        *database = nullptr;
    }
    return result;
}

// The member's messages and profiles: the file and the side files SQLite has left beside it are the
// user's alone. SQLite gives the side files it makes later the main file's permissions.
void restrictDatabaseFilesToOwner(const QString& path) {
    if (path.isEmpty() || path == QLatin1String(":memory:")) return;
    const FileManager& files = FileManager::defaultManager();
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        files.restrictToOwner(path + QLatin1String(suffix));
}

}  // namespace

Database::Database(QString path) : path_(std::move(path)) {
    if (open(path_, SQLITE_OPEN_READWRITE, &database_) == SQLITE_OK) {
        restrictDatabaseFilesToOwner(path_);
        return;
    }
    const int result = open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &database_);
    if (result == SQLITE_OK) {
        wasCreated_ = true;
        restrictDatabaseFilesToOwner(path_);
        return;
    }
    isClosed_ = true;
    QVariantMap userInfo = ExceptionUserInfoFromSqliteResult(result);
    userInfo.insert(DatabaseSqliteErrorCodeKey, result);
    userInfo.insert(ErrorDescriptionKey, QStringLiteral("A sqlite error occurred"));
    openError_ = Error(DatabaseErrorDomain, 1, userInfo);
}

Database::~Database() {
    close();
}

void Database::close() {
    if (isClosed_) return;
    for (const auto& weakStatement : statements_) {
        if (auto statement = weakStatement.lock()) statement->finalize();
    }
    statements_.clear();
    sqlite3_close_v2(database_);
    database_ = nullptr;
    isClosed_ = true;
}

void Database::assertUsable() const {
    TVR_ASSERT(!isClosed_, "SQL on a closed database: " + path_);
    TVR_ASSERT(!(mainThreadForbidden_ && MainQueue::isMainThread()),
               "SQL on the main thread for a database that belongs to a background queue");
}

bool Database::hasMoved() const {
    if (isClosed_ || !database_) return false;
    int moved = 0;
    return sqlite3_file_control(database_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved != 0;
}

int Database::userVersion() {
    return int(integerForSQL(QStringLiteral("PRAGMA user_version;")).value_or(0));
}

std::optional<qint64> Database::integerForSQL(const QString& sql) {
    assertUsable();
    sqlite3_stmt* statement = nullptr;
    std::optional<qint64> value;
    if (sqlite3_prepare_v2(database_, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK &&
        statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
        value = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return value;
}

qint64 Database::lastInsertRowId() const {
    return database_ ? sqlite3_last_insert_rowid(database_) : 0;
}

std::shared_ptr<PreparedStatement> Database::preparedStatementWithSQL(const QString& sql) {
    return PreparedStatement::create(sql, shared_from_this());
}

std::shared_ptr<Cursor> Database::executeSQL(const QString& sql, const std::vector<Binding>& bindings,
                                             Error* error) {
    return preparedStatementWithSQL(sql)->executeWithBindings(bindings, error);
}

bool Database::executeSQLBatch(const QString& sql, Error* error) {
    assertUsable();
    const int result = sqlite3_exec(database_, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (result == SQLITE_OK) return true;
    if (error) *error = databaseErrorForSqliteResult(result);
    return false;
}

void Database::recordStatement(const std::shared_ptr<PreparedStatement>& statement) {
    // Forget the statements that are gone once in a while, so the table stays as small as the live set.
    if (statements_.size() >= 64 && statements_.size() == statements_.capacity()) {
        std::erase_if(statements_, [](const auto& weakStatement) { return weakStatement.expired(); });
    }
    statements_.push_back(statement);
}

Error databaseErrorForSqliteResult(int resultCode) {
    return Error(DatabaseErrorDomain, 1,
                 {{DatabaseSqliteErrorCodeKey, resultCode},
                  {ErrorDescriptionKey,
                   QStringLiteral("Error executing SQL: %1").arg(MessageForSqliteResponse(resultCode))}});
}

}  // namespace tovrin
