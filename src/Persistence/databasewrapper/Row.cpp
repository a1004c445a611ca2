#include "Persistence/databasewrapper/Row.h"

#include <sqlite3.h>

#include "Persistence/databasewrapper/PreparedStatement.h"

namespace tovrin {

Row::Row(std::shared_ptr<PreparedStatement> statement)
    : statement_(std::move(statement)), generation_(statement_->rowGeneration()) {}

sqlite3_stmt* Row::checkedStatement() const {
    TVR_ASSERT(statement_->rowGeneration() == generation_, "Row read after its statement moved on");
    return statement_->stmt();
}

quint64 Row::unsignedIntegerForColumn(int column) const {
    return static_cast<quint64>(sqlite3_column_int64(checkedStatement(), column));
}

int Row::intForColumn(int column) const {
    return sqlite3_column_int(checkedStatement(), column);
}

qint64 Row::int64ForColumn(int column) const {
    return sqlite3_column_int64(checkedStatement(), column);
}

double Row::doubleForColumn(int column) const {
    return sqlite3_column_double(checkedStatement(), column);
}

bool Row::boolForColumn(int column) const {
    return intForColumn(column) != 0;
}

std::optional<QString> Row::stringForColumn(int column) const {
    sqlite3_stmt* stmt = checkedStatement();
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    if (text == nullptr) return std::nullopt;
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

std::optional<Date> Row::dateForColumn(int column) const {
    sqlite3_stmt* stmt = checkedStatement();
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL) return std::nullopt;
    return Date(sqlite3_column_double(stmt, column));
}

QByteArray Row::dataForColumn(int column) const {
    sqlite3_stmt* stmt = checkedStatement();
    const void* bytes = sqlite3_column_blob(stmt, column);
    const int length = sqlite3_column_bytes(stmt, column);
    if (bytes == nullptr || length == 0) return QByteArray("");
    return QByteArray(static_cast<const char*>(bytes), length);
}

}  // namespace tovrin
