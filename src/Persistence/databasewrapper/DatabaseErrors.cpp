#include "Persistence/databasewrapper/DatabaseErrors.h"

#include <QHash>

namespace tovrin {

const QString DatabaseErrorDomain = QStringLiteral("com.tovrin.client.DatabaseErrorDomain");

QString MessageForSqliteResponse(int resultCode) {
    static const QHash<int, QString> texts = {
        {0, QStringLiteral("SQLITE_OK Successful result")},
        {1, QStringLiteral("SQLITE_ERROR Error or missing database")},
        {3, QStringLiteral("SQLITE_PERM Access permission denied")},
        {4, QStringLiteral("SQLITE_ABORT Callback routine requested an abort")},
        {5, QStringLiteral("SQLITE_BUSY The database file is locked")},
        {6, QStringLiteral("SQLITE_LOCKED A table in the database is locked")},
        {7, QStringLiteral("SQLITE_NOMEM A malloc() failed")},
        {8, QStringLiteral("SQLITE_READONLY Attempt to write a readonly database")},
        {9, QStringLiteral("SQLITE_INTERRUPT Operation terminated by sqlite3_interrupt()")},
        {10, QStringLiteral("SQLITE_IOERR Some kind of disk I/O error occurred")},
        {11, QStringLiteral("SQLITE_CORRUPT The database disk image is malformed")},
        {12, QStringLiteral("SQLITE_NOTFOUND Unknown opcode in sqlite3_file_control()")},
        {13, QStringLiteral("SQLITE_FULL Insertion failed because database is full")},
        {14, QStringLiteral("SQLITE_CANTOPEN Unable to open the database file")},
        {15, QStringLiteral("SQLITE_PROTOCOL Database lock protocol error")},
        {16, QStringLiteral("SQLITE_EMPTY Database is empty")},
        {17, QStringLiteral("SQLITE_SCHEMA The database schema changed")},
        {18, QStringLiteral("SQLITE_TOOBIG String or BLOB exceeds size limit")},
        {19, QStringLiteral("SQLITE_CONSTRAINT Abort due to constraint violation")},
        {20, QStringLiteral("SQLITE_MISMATCH Data type mismatch")},
        {21, QStringLiteral("SQLITE_MISUSE Library used incorrectly")},
        {22, QStringLiteral("SQLITE_NOLFS Uses OS features not supported on host")},
        {23, QStringLiteral("SQLITE_AUTH Authorization denied")},
        {24, QStringLiteral("SQLITE_FORMAT Auxiliary database format error")},
        {25, QStringLiteral("SQLITE_RANGE 2nd parameter to sqlite3_bind out of range")},
        {26, QStringLiteral("SQLITE_NOTADB File opened that is not a database file")},
        {100, QStringLiteral("SQLITE_ROW sqlite3_step() has another row ready")},
        {101, QStringLiteral("SQLITE_DONE sqlite3_step() has finished executing")},
    };
    return texts.value(resultCode, QStringLiteral("unknown sqlite response code"));
}

QVariantMap ExceptionUserInfoFromSqliteResult(int resultCode) {
    return {{SqliteErrorCodeExceptionKey, resultCode},
            {SqliteErrorMessageExceptionKey, MessageForSqliteResponse(resultCode)}};
}

}  // namespace tovrin
