#include "Persistence/TovrinPersistence.h"

#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <future>
#include <thread>

#include "Persistence/DatabaseFileRegistry.h"
#include "Persistence/TemporaryStore.h"
#include "Persistence/databasewrapper/Cursor.h"
#include "platform/foundation/MainQueue.h"

namespace tovrin {
namespace {

using test::await;

class TovrinPersistenceTest : public testing::Test {
protected:
    test::TemporaryStore files;

    // Runs SQL on a connection of the test's own and gives the first column of each row.
    QStringList query(const QString& sql) {
        QStringList values;
        auto database = files.open();
        auto cursor = database->executeSQL(sql);
        while (const auto row = cursor->nextObject()) values << row->stringForColumn(0).value_or("NULL");
        return values;
    }

    void writeFileAtVersion(int version) {
        auto database = files.open();
        database->executeSQLBatch(
            QStringLiteral("CREATE TABLE Old (x); INSERT INTO Old VALUES (1); PRAGMA user_version = %1;")
                .arg(version));
    }
};

TEST_F(TovrinPersistenceTest, AMissingFileIsCreatedWithTheWholeSchema) {
    auto store = files.make();
    EXPECT_EQ(query("PRAGMA user_version;"), QStringList{"21"});
    EXPECT_EQ(query("SELECT name FROM sqlite_master ORDER BY name;"),
              QStringList({"BroadcastMessages", "ChatMessageAcknowledgements", "ChatMessageDeletions",
                           "ChatMessages", "Conversations", "InboxHistory",
                           "Index_ChatMessages_exchangedWithProfileID_sentTimestamp",
                           "Index_ChatMessages_sentTimestamp", "Index_ChatMessages_status", "JSONObjects",
                           "Profiles", "sqlite_autoindex_BroadcastMessages_1",
                           "sqlite_autoindex_ChatMessageDeletions_1", "sqlite_autoindex_ChatMessages_1",
                           "sqlite_autoindex_Conversations_1", "sqlite_autoindex_InboxHistory_1",
                           "sqlite_autoindex_JSONObjects_1", "sqlite_autoindex_Profiles_1"}));
    EXPECT_EQ(
        query("SELECT sql FROM sqlite_master WHERE name = 'ChatMessages';"),
        QStringList{
            "CREATE TABLE ChatMessages (messageID TEXT UNIQUE NOT NULL, exchangedWithProfileID TEXT NOT "
            "NULL, senderProfileID TEXT NOT NULL, targetProfileID TEXT NOT NULL, sentTimestamp INTEGER "
            "NOT NULL, status INTEGER NOT NULL, text TEXT, imageHash TEXT, locationString TEXT, "
            "didReceiveFromXMPP INTEGER NOT NULL DEFAULT 0)"});
}

TEST_F(TovrinPersistenceTest, OnlyAFileAtVersion21IsKept) {
    for (const int version : {0, 20, 21, 22}) {
        QFile::remove(files.path());
        writeFileAtVersion(version);
        auto store = files.make();
        store.reset();
        const bool kept = version == 21;
        EXPECT_EQ(query("SELECT count(*) FROM sqlite_master WHERE name = 'Old';"),
                  QStringList{kept ? "1" : "0"})
            << version;
        EXPECT_EQ(query("PRAGMA user_version;"), QStringList{"21"}) << version;
        // A kept file stays exactly as it was; a rebuilt one has the schema.
        EXPECT_EQ(query("SELECT count(*) FROM sqlite_master WHERE name = 'ChatMessages';"),
                  QStringList{kept ? "0" : "1"});
    }
}

TEST_F(TovrinPersistenceTest, AFileThatIsNoDatabaseIsReplaced) {
    QFile file(files.path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    auto store = files.make();
    EXPECT_TRUE(await(store->saveBroadcastMessageID("id", Date(1e10))));
    EXPECT_EQ(query("PRAGMA user_version;"), QStringList{"21"});
}

TEST_F(TovrinPersistenceTest, PromisesSettleOnTheMainQueueInCallOrder) {
    auto store = files.make();
    std::vector<int> order;
    std::vector<Promise<bool>> promises;
    for (int index = 0; index < 200; ++index) {
        auto promise = index % 2 ? store->saveBroadcastMessageID(QString::number(index), Date(1e10))
                                 : store->broadcastMessageIDExists(QString::number(index - 1));
        promises.push_back(promise.then([&order, index](bool value) {
            EXPECT_TRUE(MainQueue::isMainThread());
            // Every read sees the write asked for just before it.
            if (index > 0 && index % 2 == 0) {
                EXPECT_TRUE(value) << index;
            }
            order.push_back(index);
            return value;
        }));
    }
    ASSERT_TRUE(test::waitFor(when(promises)));
    ASSERT_EQ(order.size(), 200u);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST_F(TovrinPersistenceTest, NoSQLRunsOnTheMainThreadAfterConstruction) {
    auto store = files.make();
    EXPECT_TRUE(await(store->executeOnSqlQueue<bool>([&] {
        return !MainQueue::isMainThread() &&
               store->database()->executeSQL(QStringLiteral("SELECT 1;")) != nullptr;
    })));
    EXPECT_DEATH(store->database()->executeSQL(QStringLiteral("SELECT 1;")), "SQL on the main thread");
}

TEST_F(TovrinPersistenceTest, EveryStatementHasOneRowWhoseSQLPreparesAgainstAFreshFile) {
    using Statement = TovrinPersistence::Statement;
    const auto table = TovrinPersistence::statementTable();
    EXPECT_EQ(table.size(), size_t(Statement::count));
    for (int value = 0; value < int(Statement::count); ++value) {
        const auto rows = std::count_if(table.begin(), table.end(),
                                        [&](const auto& row) { return row.statement == Statement(value); });
        EXPECT_EQ(rows, 1) << "statement " << value;
    }
    files.make().reset();
    auto database = files.open();
    // SQL that does not compile stops the process, naming it.
    for (const auto& row : table) EXPECT_TRUE(database->preparedStatementWithSQL(QString::fromUtf8(row.sql)));
}

class TransactionTest : public TovrinPersistenceTest {
protected:
    std::shared_ptr<TovrinPersistence> store = files.make();

    bool insertIn(std::shared_ptr<TovrinPersistence> target, const QString& sql) {
        return target->database()->executeSQL(sql) != nullptr;
    }
    QStringList broadcastIDs() {
        return query("SELECT broadcastMessageID FROM BroadcastMessages ORDER BY 1;");
    }
};

TEST_F(TransactionTest, CommitsWhenTheBlockSaysYesAndRollsBackWhenItSaysNo) {
    for (const bool outcome : {true, false}) {
        const QString id = outcome ? "kept" : "dropped";
        EXPECT_EQ(await(store->executeTransactionOnSqlQueue([&] {
                      insertIn(store,
                               QStringLiteral("INSERT INTO BroadcastMessages VALUES ('%1', 1);").arg(id));
                      return outcome;
                  })),
                  outcome);
    }
    EXPECT_EQ(broadcastIDs(), QStringList{"kept"});
}

TEST_F(TransactionTest, AFailedCommitRollsBackAndResolvesNo) {
    // A deferred foreign key is checked at COMMIT, which then fails and leaves the transaction open.
    ASSERT_TRUE(await(store->executeOnSqlQueue<bool>([&] {
        return store->database()->executeSQLBatch(QStringLiteral(
            "PRAGMA foreign_keys = ON; CREATE TABLE Parent (id INTEGER PRIMARY KEY);"
            "CREATE TABLE Child (parent REFERENCES Parent(id) DEFERRABLE INITIALLY DEFERRED);"));
    })));
    EXPECT_FALSE(await(store->executeTransactionOnSqlQueue([&] {
        insertIn(store, QStringLiteral("INSERT INTO BroadcastMessages VALUES ('orphaned', 1);"));
        return insertIn(store, QStringLiteral("INSERT INTO Child VALUES (99);"));
    })));
    EXPECT_TRUE(broadcastIDs().isEmpty());
    EXPECT_EQ(query("SELECT count(*) FROM Child;"), QStringList{"0"});
    // Nothing was left open: the next transaction commits.
    EXPECT_TRUE(await(store->executeTransactionOnSqlQueue([] { return true; })));
}

TEST_F(TransactionTest, WhenBeginFailsTheBlockDoesNotRun) {
    await(store->executeOnSqlQueue<bool>([&] { return store->database()->executeSQLBatch("BEGIN;"); }));
    bool ran = false;
    EXPECT_FALSE(await(store->executeTransactionOnSqlQueue([&] {
        ran = true;
        return true;
    })));
    EXPECT_FALSE(ran);
}

class DeletionTest : public TovrinPersistenceTest {
protected:
    void TearDown() override {
        DatabaseFileRegistry::shared().setFileRemover(DatabaseFileRegistry::defaultFileRemover());
    }

    static void saveMarker(const std::shared_ptr<TovrinPersistence>& store, const QString& id) {
        EXPECT_TRUE(await(store->saveBroadcastMessageID(id, Date(1e10))));
    }
};

TEST_F(DeletionTest, DeletingRemovesTheFileAndItsSiblingsAndLeavesTheStoreEmptyHanded) {
    auto store = files.make();
    saveMarker(store, "member A");
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile(files.path() + suffix).open(QIODevice::WriteOnly);
    EXPECT_TRUE(await(store->deleteDatabase()));
    for (const QString& file : DatabaseFileRegistry::databaseFilePaths(files.path())) {
        EXPECT_FALSE(QFile::exists(file)) << file.toStdString();
    }
    EXPECT_FALSE(await(store->saveBroadcastMessageID("later", Date(1e10))));
    EXPECT_FALSE(await(store->broadcastMessageIDExists("member A")));
    EXPECT_EQ(await(store->getMostRecentChatMessage()), nullptr);
    EXPECT_TRUE(await(store->deleteDatabase()));
}

TEST_F(DeletionTest, ANewStoreWaitsForAPendingDeletionOfItsFile) {
    auto old = files.make();
    saveMarker(old, "member A");
    std::promise<void> release;
    // Holds the old store's queue so that its deletion stays pending.
    old->executeOnSqlQueue<bool>([gate = release.get_future().share()] {
        gate.wait();
        return true;
    });
    auto deletion = old->deleteDatabase();
    old.reset();
    std::shared_ptr<TovrinPersistence> next;
    std::thread opener(
        [&] { next = test::TemporaryStore::makeAt(files.path(), std::make_shared<test::FakeClock>()); });
    ASSERT_TRUE(test::runUntil([&] { return DatabaseFileRegistry::shared().isAwaited(files.path()); }));
    release.set_value();
    opener.join();
    EXPECT_TRUE(await(deletion));
    EXPECT_FALSE(await(next->broadcastMessageIDExists("member A")));
    saveMarker(next, "member B");
    EXPECT_TRUE(await(next->broadcastMessageIDExists("member B")));
}

TEST_F(DeletionTest, AConnectionOpenedBeforeADeletionFinishedIsOpenedAgain) {
    auto old = files.make();
    saveMarker(old, "member A");
    auto connection = std::make_shared<Database>(files.path());
    EXPECT_TRUE(await(old->deleteDatabase()));
    auto clock = std::make_shared<test::FakeClock>();
    auto next = std::make_shared<TovrinPersistence>(
        connection, std::make_shared<NearbyUserJSONMapper>(clock), std::make_shared<FilterJSONMapper>(),
        std::make_shared<CascadeFilterJSONMapper>(), std::make_shared<RulesJSONMapper>(),
        std::make_shared<LastSeenMessageInfoJSONMapper>(), clock,
        std::make_shared<ThreadTrampoline>(
            std::make_shared<DispatchQueue>(QStringLiteral("TovrinPersistence"))));
    EXPECT_FALSE(await(next->broadcastMessageIDExists("member A")));
    saveMarker(next, "member B");
    EXPECT_TRUE(await(next->broadcastMessageIDExists("member B")));
    EXPECT_TRUE(QFile::exists(files.path()));
}

TEST_F(DeletionTest, AFileThatCouldNotBeRemovedIsEmptiedInstead) {
    auto store = files.make();
    saveMarker(store, "member A");
    DatabaseFileRegistry::shared().setFileRemover([](const QString&, QString* error) {
        *error = "refused";
        return false;
    });
    EXPECT_TRUE(await(store->deleteDatabase()));
    EXPECT_EQ(QFile(files.path()).size(), 0);
    auto next = files.make();
    EXPECT_FALSE(await(next->broadcastMessageIDExists("member A")));
    saveMarker(next, "member B");
}

TEST_F(DeletionTest, AFileLeftUnclearedByADeletionIsRebuiltNotReused) {
    auto store = files.make();
    saveMarker(store, "member A");
    store.reset();
    // What a deletion that could neither remove nor empty the file leaves behind.
    DatabaseFileRegistry::shared().setCleared(files.path(), false);
    auto next = files.make();
    EXPECT_FALSE(await(next->broadcastMessageIDExists("member A")));
    EXPECT_FALSE(DatabaseFileRegistry::shared().isUncleared(files.path()));
}

TEST_F(DeletionTest, AFileThatCannotBeOpenedLeavesTheStoreDegraded) {
    auto store = test::TemporaryStore::makeAt(files.path() + "-missing/folder/tovrin.sqlite",
                                              std::make_shared<test::FakeClock>());
    EXPECT_EQ(store->database(), nullptr);
    EXPECT_FALSE(await(store->saveBroadcastMessageID("x", Date(1))));
    EXPECT_FALSE(await(store->getImageHashes()).has_value());
    EXPECT_TRUE(await(store->saveDirectedMessages({})) == false);
}

}  // namespace
}  // namespace tovrin
