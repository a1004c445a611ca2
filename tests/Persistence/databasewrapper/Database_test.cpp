#include "Persistence/databasewrapper/Database.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <limits>

#include "Persistence/databasewrapper/Cursor.h"
#include "Persistence/databasewrapper/DatabaseErrors.h"
#include "Persistence/databasewrapper/PreparedStatement.h"

namespace tovrin {
namespace {

class DatabaseTest : public testing::Test {
protected:
    QTemporaryDir directory;
    QString path = directory.filePath(QStringLiteral("test.sqlite"));
    std::shared_ptr<Database> database = std::make_shared<Database>(path);

    void SetUp() override {
        ASSERT_TRUE(
            database->executeSQLBatch(QStringLiteral("CREATE TABLE Items (name TEXT UNIQUE, value);"
                                                     "CREATE TABLE Numbers (n INTEGER);")));
    }

    // The stored value and its SQLite type name.
    std::pair<QString, QString> stored(const Binding& value) {
        database->executeSQLBatch(QStringLiteral("DELETE FROM Items;"));
        EXPECT_TRUE(database->executeSQL(QStringLiteral("INSERT INTO Items VALUES ('v', ?);"), {value}));
        auto cursor = database->executeSQL(QStringLiteral("SELECT quote(value), typeof(value) FROM Items;"));
        const auto row = cursor->nextObject();
        return {*row->stringForColumn(0), *row->stringForColumn(1)};
    }
};

TEST_F(DatabaseTest, OpeningCreatesAMissingFileOnlyOnce) {
    EXPECT_TRUE(database->wasCreated());
    EXPECT_FALSE(database->isClosed());
    EXPECT_EQ(std::make_shared<Database>(directory.filePath("fresh.sqlite"))->userVersion(), 0);
    database->close();
    auto again = std::make_shared<Database>(path);
    EXPECT_FALSE(again->wasCreated());
    EXPECT_EQ(again->path(), path);
}

TEST_F(DatabaseTest, AFileInAMissingFolderCannotBeOpenedAndSaysWhy) {
    Database missing(directory.filePath(QStringLiteral("no/such/folder/test.sqlite")));
    EXPECT_TRUE(missing.isClosed());
    ASSERT_TRUE(missing.openError().has_value());
    const Error& error = *missing.openError();
    EXPECT_EQ(error.domain(), DatabaseErrorDomain);
    EXPECT_EQ(error.userInfo().value(ErrorDescriptionKey), "A sqlite error occurred");
    EXPECT_EQ(error.userInfo().value(SqliteErrorCodeExceptionKey), 14);
    EXPECT_EQ(error.userInfo().value(SqliteErrorMessageExceptionKey),
              "SQLITE_CANTOPEN Unable to open the database file");
}

TEST_F(DatabaseTest, EveryKindOfValueBindsAsItsStorageClass) {
    struct Case {
        Binding value;
        QString quoted;
        QString type;
    };
    const Case cases[] = {
        {QStringLiteral("grüße"), "'grüße'", "text"},
        {QString(), "''", "text"},
        {QByteArray("\x01\x02", 2), "X'0102'", "blob"},
        {true, "1", "integer"},
        {false, "0", "integer"},
        {std::numeric_limits<quint32>::max(), "4294967295", "integer"},
        {std::numeric_limits<qint64>::min(), "-9223372036854775808", "integer"},
        {quint64(std::numeric_limits<qint64>::max()), "9223372036854775807", "integer"},
        {std::numeric_limits<quint64>::max(), "1.84467440737095516156e+19", "real"},
        {1.5f, "1.5", "real"},
        {Date(1500.25), "1500.25", "real"},
        {Date(1500), "1500.0", "real"},
        {Binding(), "NULL", "null"},
        {std::optional<QString>(), "NULL", "null"},
        {std::optional<QString>("x"), "'x'", "text"},
    };
    for (const Case& testCase : cases) {
        EXPECT_EQ(stored(testCase.value), std::make_pair(testCase.quoted, testCase.type))
            << testCase.quoted.toStdString();
    }
}

TEST_F(DatabaseTest, RowsReadEveryColumnKindAndNullAsNothing) {
    auto cursor =
        database->executeSQL(QStringLiteral("SELECT NULL, 'text', X'00FF', 1500.5, 4294967296, -1, 7;"));
    const auto row = cursor->nextObject();
    ASSERT_TRUE(row);
    EXPECT_FALSE(row->stringForColumn(0));
    EXPECT_FALSE(row->dateForColumn(0));
    EXPECT_EQ(row->dataForColumn(0), QByteArray(""));
    EXPECT_EQ(row->intForColumn(0), 0);
    EXPECT_FALSE(row->boolForColumn(0));
    EXPECT_EQ(row->stringForColumn(1), "text");
    EXPECT_EQ(row->dataForColumn(2), QByteArray("\x00\xFF", 2));
    EXPECT_EQ(row->dateForColumn(3), Date(1500.5));
    EXPECT_EQ(row->unsignedIntegerForColumn(4), 4294967296ULL);
    EXPECT_EQ(row->int64ForColumn(5), -1);
    EXPECT_TRUE(row->boolForColumn(6));
    EXPECT_FALSE(cursor->nextObject());
}

TEST_F(DatabaseTest, AStatementWithoutRowsHasRunOnceItsCursorExists) {
    auto cursor = database->executeSQL(QStringLiteral("INSERT INTO Numbers VALUES (?);"), {42});
    ASSERT_TRUE(cursor);
    EXPECT_FALSE(cursor->nextObject());
    EXPECT_EQ(database->lastInsertRowId(), 1);
    EXPECT_EQ(database->executeSQL(QStringLiteral("SELECT n FROM Numbers;"))->nextObject()->intForColumn(0),
              42);
}

TEST_F(DatabaseTest, AFailedFirstStepGivesNoCursorAndTheStatementStaysUsable) {
    auto insert = database->preparedStatementWithSQL(QStringLiteral("INSERT INTO Items VALUES (?, ?);"));
    ASSERT_TRUE(insert->executeWithBindings({"a", 1}));
    Error error;
    EXPECT_FALSE(insert->executeWithBindings({"a", 2}, &error));
    EXPECT_EQ(error.domain(), DatabaseErrorDomain);
    EXPECT_EQ(error.code(), 1);
    EXPECT_EQ(error.userInfo().value(DatabaseSqliteErrorCodeKey), 19);
    EXPECT_EQ(error.userInfo().value(ErrorDescriptionKey),
              "Error executing SQL: SQLITE_CONSTRAINT Abort due to constraint violation");
    EXPECT_TRUE(insert->executeWithBindings({"b", 2}));
}

TEST_F(DatabaseTest, ExecutingAgainInvalidatesTheEarlierCursorButItsFirstRowIsHandedOut) {
    for (int n : {1, 2, 3}) database->executeSQL(QStringLiteral("INSERT INTO Numbers VALUES (?);"), {n});
    auto select =
        database->preparedStatementWithSQL(QStringLiteral("SELECT n FROM Numbers WHERE n >= ? ORDER BY n;"));
    auto first = select->executeWithBindings({1});
    auto second = select->executeWithBindings({2});
    EXPECT_TRUE(first->isInvalidated());
    EXPECT_TRUE(first->nextObject().has_value());
    EXPECT_DEATH(first->nextObject(), "Cursor was invalidated");
    // The earlier cursor going away must not reset the newer execution under its feet.
    first.reset();
    EXPECT_EQ(second->nextObject()->intForColumn(0), 2);
    EXPECT_EQ(second->nextObject()->intForColumn(0), 3);
    EXPECT_FALSE(second->nextObject());
}

TEST_F(DatabaseTest, ARowReadAfterItsStatementMovedOnStopsTheProcess) {
    for (int n : {1, 2}) database->executeSQL(QStringLiteral("INSERT INTO Numbers VALUES (?);"), {n});
    auto cursor = database->executeSQL(QStringLiteral("SELECT n FROM Numbers ORDER BY n;"));
    const auto first = cursor->nextObject();
    EXPECT_EQ(first->intForColumn(0), 1);
    cursor->nextObject();
    EXPECT_DEATH(first->intForColumn(0), "Row read after its statement moved on");
}

TEST_F(DatabaseTest, MissingValuesKeepWhatAnEarlierExecutionBound) {
    auto insert = database->preparedStatementWithSQL(QStringLiteral("INSERT INTO Items VALUES (?, ?);"));
    insert->executeWithBindings({"a", 7});
    insert->executeWithBindings({"b"});
    auto fresh = database->preparedStatementWithSQL(QStringLiteral("INSERT INTO Items VALUES (?, ?);"));
    fresh->executeWithBindings({"c"});
    auto cursor = database->executeSQL(QStringLiteral("SELECT name, quote(value) FROM Items ORDER BY name;"));
    QStringList rows;
    while (const auto row = cursor->nextObject())
        rows << *row->stringForColumn(0) + "=" + *row->stringForColumn(1);
    EXPECT_EQ(rows, QStringList({"a=7", "b=7", "c=NULL"}));
}

TEST_F(DatabaseTest, ProgrammingErrorsStopTheProcess) {
    EXPECT_DEATH(database->preparedStatementWithSQL(QStringLiteral("SELEKT 1;")),
                 "A Sqlite error occurred: Could not prepare statement: SELEKT 1;");
    EXPECT_DEATH(database->executeSQL(QStringLiteral("SELECT ?;"), {1, 2}),
                 "Could not bind \\(25 SQLITE_RANGE");
}

TEST_F(DatabaseTest, ClosingFinalizesTheLiveStatementsOnce) {
    auto statement = database->preparedStatementWithSQL(QStringLiteral("SELECT 1 UNION SELECT 2;"));
    auto cursor = statement->executeWithBindings();
    database->close();
    EXPECT_TRUE(database->isClosed());
    EXPECT_TRUE(statement->isFinalized());
    EXPECT_TRUE(cursor->isInvalidated());
    database->close();
    EXPECT_DEATH(statement->executeWithBindings(), "Executing a finalized statement");
    EXPECT_DEATH(database->executeSQLBatch(QStringLiteral("SELECT 1;")), "SQL on a closed database");
}

TEST_F(DatabaseTest, ABatchStopsAtItsFirstFailureAndKeepsWhatRanBefore) {
    Error error;
    EXPECT_FALSE(
        database->executeSQLBatch(QStringLiteral("INSERT INTO Numbers VALUES (1); INSERT INTO Nowhere VALUES "
                                                 "(2); INSERT INTO Numbers VALUES (3);"),
                                  &error));
    EXPECT_EQ(error.userInfo().value(ErrorDescriptionKey),
              "Error executing SQL: SQLITE_ERROR Error or missing database");
    EXPECT_FALSE(database->executeSQLBatch(QStringLiteral("INSERT INTO Nowhere VALUES (1);")));
    EXPECT_EQ(database->executeSQL(QStringLiteral("SELECT group_concat(n) FROM Numbers;"))
                  ->nextObject()
                  ->stringForColumn(0),
              "1");
}

TEST_F(DatabaseTest, UserVersionReadsWhatWasSet) {
    database->executeSQLBatch(QStringLiteral("PRAGMA user_version = 21;"));
    EXPECT_EQ(database->userVersion(), 21);
}

TEST_F(DatabaseTest, AForbiddenDatabaseRefusesSQLOnTheMainThread) {
    database->setMainThreadForbidden(true);
    EXPECT_DEATH(database->executeSQL(QStringLiteral("SELECT 1;")), "SQL on the main thread");
}

TEST(SqliteResponse, EveryCodeHasItsTextAndOthersAreUnknown) {
    EXPECT_EQ(MessageForSqliteResponse(0), "SQLITE_OK Successful result");
    EXPECT_EQ(MessageForSqliteResponse(19), "SQLITE_CONSTRAINT Abort due to constraint violation");
    EXPECT_EQ(MessageForSqliteResponse(101), "SQLITE_DONE sqlite3_step() has finished executing");
    for (int unknown : {2, 27, 99, 102, 2067}) {
        EXPECT_EQ(MessageForSqliteResponse(unknown), "unknown sqlite response code") << unknown;
    }
    EXPECT_EQ(ExceptionUserInfoFromSqliteResult(5),
              QVariantMap({{SqliteErrorCodeExceptionKey, 5},
                           {SqliteErrorMessageExceptionKey, "SQLITE_BUSY The database file is locked"}}));
}

}  // namespace
}  // namespace tovrin
