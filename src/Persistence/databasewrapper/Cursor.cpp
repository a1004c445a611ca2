#include "Persistence/databasewrapper/Cursor.h"

#include <sqlite3.h>

#include "Persistence/databasewrapper/Database.h"
#include "Persistence/databasewrapper/PreparedStatement.h"

namespace tovrin {

std::shared_ptr<Cursor> Cursor::create(std::shared_ptr<PreparedStatement> statement, Error* error) {
    std::shared_ptr<Cursor> cursor(new Cursor(std::move(statement)));
    cursor->initialRow_ = cursor->step();
    if (cursor->initialRow_ || cursor->lastError_ == SQLITE_DONE) return cursor;
    if (error) *error = databaseErrorForSqliteResult(cursor->lastError_);
    return nullptr;
}

Cursor::~Cursor() {
    if (!invalidated_) statement_->reset();
}

std::optional<Row> Cursor::nextObject() {
    if (!iterationDidBegin_) {
        iterationDidBegin_ = true;
        return std::exchange(initialRow_, std::nullopt);
    }
    TVR_ASSERT(!invalidated_, "Cursor was invalidated");
    return step();
}

std::optional<Row> Cursor::step() {
    lastError_ = statement_->step();
    if (lastError_ != SQLITE_ROW) return std::nullopt;
    return Row(statement_);
}

}  // namespace tovrin
