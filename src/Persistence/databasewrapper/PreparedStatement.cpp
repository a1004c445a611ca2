#include "Persistence/databasewrapper/PreparedStatement.h"

#include <sqlite3.h>

#include "Persistence/databasewrapper/Cursor.h"
#include "Persistence/databasewrapper/Database.h"
#include "Persistence/databasewrapper/DatabaseErrors.h"

namespace tovrin {

namespace {

[[noreturn]] void sqliteFailure(const QString& reason, int resultCode) {
    const QVariantMap userInfo = ExceptionUserInfoFromSqliteResult(resultCode);
    TVR_FATAL(QStringLiteral("%1: %2 (%3 %4)")
                  .arg(SqliteException, reason, userInfo.value(SqliteErrorCodeExceptionKey).toString(),
                       userInfo.value(SqliteErrorMessageExceptionKey).toString()));
}

}  // namespace

std::shared_ptr<PreparedStatement> PreparedStatement::create(const QString& sql,
                                                             std::shared_ptr<Database> database) {
    database->assertUsable();
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int result =
        sqlite3_prepare_v2(database->database(), utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (result != SQLITE_OK || stmt == nullptr) {
        sqlite3_finalize(stmt);
        sqliteFailure(QStringLiteral("Could not prepare statement: %1").arg(sql), result);
    }
    std::shared_ptr<PreparedStatement> statement(new PreparedStatement(database, stmt));
    database->recordStatement(statement);
    return statement;
}

PreparedStatement::PreparedStatement(std::shared_ptr<Database> database, sqlite3_stmt* stmt)
    : database_(std::move(database)), stmt_(stmt) {}

PreparedStatement::~PreparedStatement() {
    finalize();
}

std::shared_ptr<Cursor> PreparedStatement::executeWithBindings(const std::vector<Binding>& bindings,
                                                               Error* error) {
    TVR_ASSERT(!isFinalized_, "Executing a finalized statement");
    database_->assertUsable();
    if (needToReset_) reset();
    needToReset_ = true;
    bind(bindings);
    invalidateCursor();
    auto cursor = Cursor::create(shared_from_this(), error);
    cursor_ = cursor;
    return cursor;
}

void PreparedStatement::bind(const std::vector<Binding>& bindings) {
    for (size_t index = 0; index < bindings.size(); ++index) {
        const int result = bindings[index].tvr_bindToStatement(stmt_, int(index) + 1);
        if (result != SQLITE_OK) sqliteFailure(QStringLiteral("Could not bind"), result);
    }
}

void PreparedStatement::reset() {
    if (isFinalized_) return;
    sqlite3_reset(stmt_);
    ++rowGeneration_;
    needToReset_ = false;
}

void PreparedStatement::finalize() {
    if (isFinalized_) return;
    invalidateCursor();
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    ++rowGeneration_;
    isFinalized_ = true;
}

int PreparedStatement::step() {
    TVR_ASSERT(!isFinalized_, "Stepping a finalized statement");
    ++rowGeneration_;
    return sqlite3_step(stmt_);
}

void PreparedStatement::invalidateCursor() {
    if (auto cursor = cursor_.lock()) cursor->invalidate();
    cursor_.reset();
}

}  // namespace tovrin
