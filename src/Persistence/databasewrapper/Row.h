#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

#include "platform/foundation/Date.h"

struct sqlite3_stmt;

namespace tovrin {

class PreparedStatement;

// The current result row of a statement, read in place: not a copy. Read every column you need
// before the next step; reading a row after its statement moved on stops the process. Columns
// count from 0; SQLite's usual conversions apply to columns of another storage class.
class Row {
public:
    explicit Row(std::shared_ptr<PreparedStatement> statement);

    quint64 unsignedIntegerForColumn(int column) const;
    int intForColumn(int column) const;  // 0 for NULL
    qint64 int64ForColumn(int column) const;
    double doubleForColumn(int column) const;
    bool boolForColumn(int column) const;
    std::optional<QString> stringForColumn(int column) const;  // nothing for NULL
    std::optional<Date> dateForColumn(int column) const;       // nothing for NULL
    QByteArray dataForColumn(int column) const;                // empty for NULL

private:
    sqlite3_stmt* checkedStatement() const;

    std::shared_ptr<PreparedStatement> statement_;
    quint64 generation_;
};

}  // namespace tovrin
