#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "Persistence/databasewrapper/Binding.h"
#include "platform/foundation/Error.h"

struct sqlite3_stmt;

namespace tovrin {

class Cursor;
class Database;

// A compiled statement, reused: each execution resets it, binds the values and runs the first step.
// A statement has at most one usable cursor: executing it again invalidates the previous one.
class PreparedStatement : public std::enable_shared_from_this<PreparedStatement> {
public:
    // Compiles the first statement of the text (the rest is ignored); SQL that does not compile
    // stops the process. The statement is recorded with its database, whose close finalizes it.
    static std::shared_ptr<PreparedStatement> create(const QString& sql, std::shared_ptr<Database> database);
    ~PreparedStatement();

    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    // A new cursor whose first step has run, or nothing with the error filled when that step failed.
    // Parameters beyond the values keep what an earlier execution bound.
    std::shared_ptr<Cursor> executeWithBindings(const std::vector<Binding>& bindings = {},
                                                Error* error = nullptr);
    void reset();
    // Once: invalidates the current cursor and releases the compiled statement.
    void finalize();

    sqlite3_stmt* stmt() const { return stmt_; }
    bool isFinalized() const { return isFinalized_; }
    const std::shared_ptr<Database>& database() const { return database_; }

    // For cursors and rows: one step, and a counter that changes whenever the current row goes.
    int step();
    quint64 rowGeneration() const { return rowGeneration_; }

private:
    PreparedStatement(std::shared_ptr<Database> database, sqlite3_stmt* stmt);
    void bind(const std::vector<Binding>& bindings);
    void invalidateCursor();

    std::shared_ptr<Database> database_;
    sqlite3_stmt* stmt_ = nullptr;
    std::weak_ptr<Cursor> cursor_;
    bool needToReset_ = false;
    bool isFinalized_ = false;
    quint64 rowGeneration_ = 0;
};

}  // namespace tovrin
