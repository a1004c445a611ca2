#pragma once

#include <QString>
#include <QVariantMap>

namespace tovrin {

// Domain of the errors that executions return (always code 1).
extern const QString DatabaseErrorDomain;
// Error user-info key: the SQLite result code as a number.
inline const QString DatabaseSqliteErrorCodeKey = QStringLiteral("DatabaseSqliteErrorCodeKey");

// Names of the failures that a programming error causes; they stop the process.
inline const QString SqliteException = QStringLiteral("A Sqlite error occurred");
inline const QString DatabaseCouldNotBeOpenedException = QStringLiteral("Database could not be opened");
inline const QString SqliteErrorCodeExceptionKey = QStringLiteral("SqliteErrorCodeExceptionKey");
inline const QString SqliteErrorMessageExceptionKey = QStringLiteral("SqliteErrorMessageExceptionKey");

// "SQLITE_BUSY The database file is locked" and so on; "unknown sqlite response code" for codes
// without a text, extended codes included.
QString MessageForSqliteResponse(int resultCode);

// The code and its text, under the two exception keys.
QVariantMap ExceptionUserInfoFromSqliteResult(int resultCode);

}  // namespace tovrin
