#include "Persistence/TovrinPersistence.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>

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

// Write-ahead log with NORMAL sync: a commit is in the log, which the system keeps, when the
// promise resolves.
TEST_F(TovrinPersistenceTest, EveryFileIsKeptInWriteAheadLogModeWithNormalSync) {
    struct Case {
        const char* name;
        std::optional<int> versionBefore;
    };
    const Case cases[] = {{"a new file", std::nullopt},
                          {"a kept file at version 21", 21},
                          {"a file rebuilt from version 20", 20}};
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        for (const QString& file : DatabaseFileRegistry::databaseFilePaths(files.path())) QFile::remove(file);
        if (testCase.versionBefore) writeFileAtVersion(*testCase.versionBefore);
        auto store = files.make();
        const auto pragmas = await(store->executeOnSqlQueue<QStringList>([&] {
            QStringList values;
            for (const char* pragma : {"PRAGMA journal_mode;", "PRAGMA synchronous;"}) {
                auto cursor = store->database()->executeSQL(QString::fromUtf8(pragma));
                values << cursor->nextObject()->stringForColumn(0).value_or("NULL");
            }
            return values;
        }));
        EXPECT_EQ(pragmas, QStringList({"wal", "1"}));
        // The mode belongs to the file: every later connection finds it.
        EXPECT_EQ(query("PRAGMA journal_mode;"), QStringList{"wal"});
    }
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
    // Made where missing; the open connection maps "-shm", which must not be cut short under it.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile(files.path() + suffix).open(QIODevice::WriteOnly | QIODevice::Append);
    EXPECT_TRUE(await(store->deleteDatabase()));
    for (const QString& file : DatabaseFileRegistry::databaseFilePaths(files.path())) {
        EXPECT_FALSE(QFile::exists(file)) << file.toStdString();
    }
    EXPECT_FALSE(await(store->saveBroadcastMessageID("later", Date(1e10))));
    EXPECT_FALSE(await(store->broadcastMessageIDExists("member A")));
    EXPECT_EQ(await(store->getMostRecentChatMessage()), nullptr);
    EXPECT_TRUE(await(store->deleteDatabase()));
}

// The main thread ticks every 5 ms while an earlier store's deletion is held up and a new store on
// the same file is made and used; the longest gap between ticks is what the member would feel.
TEST_F(DeletionTest, ANewStoreWaitsForAPendingDeletionOnItsQueueNotOnTheMainThread) {
    struct Case {
        const char* name;
        // Held up while its files are being removed, or before it starts, behind a busy queue.
        bool holdTheRemoval;
    };
    const Case cases[] = {{"removal under way", true}, {"deletion still queued", false}};
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        DatabaseFileRegistry& registry = DatabaseFileRegistry::shared();
        const QString path = files.path();
        auto old = files.make();
        saveMarker(old, "member A");
        // Released by the test once the main thread has ticked a while; the bound only turns a main
        // thread that waits for the release into a long gap instead of a hang.
        std::promise<void> release;
        const auto gate = release.get_future().share();
        const auto holdUntilReleased = [gate] { gate.wait_for(std::chrono::seconds(10)); };
        std::atomic<bool> held = false;
        if (testCase.holdTheRemoval) {
            registry.setFileRemover([&held, holdUntilReleased](const QString& file, QString* error) {
                held = true;
                holdUntilReleased();
                return DatabaseFileRegistry::defaultFileRemover()(file, error);
            });
        } else {
            old->executeOnSqlQueue<bool>([&held, holdUntilReleased] {
                held = true;
                holdUntilReleased();
                return true;
            });
        }
        auto deletion = old->deleteDatabase();
        old.reset();

        QElapsedTimer clock;
        clock.start();
        qint64 lastTick = 0;
        qint64 longestGap = 0;
        int ticks = 0;
        const auto tick = [&] {
            longestGap = std::max(longestGap, clock.elapsed() - lastTick);
            lastTick = clock.elapsed();
            ++ticks;
        };
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        heartbeat.setInterval(5);
        QObject::connect(&heartbeat, &QTimer::timeout, tick);
        heartbeat.start();

        auto next = files.make();
        struct FirstLook {
            bool deletionPending;
            bool fileHoldsSchema;
            qint64 synchronous;
        };
        auto firstLook = next->executeOnSqlQueue<FirstLook>([&] {
            return FirstLook{registry.hasPendingDeletion(path), next->database()->userVersion() == 21,
                             next->database()->integerForSQL("PRAGMA synchronous;").value_or(-1)};
        });
        auto oldMarker = next->broadcastMessageIDExists("member A");
        auto newMarker = next->saveBroadcastMessageID("member B", Date(1e10));
        ASSERT_TRUE(test::runUntil([&] { return held && registry.isAwaited(path) && ticks >= 20; }));
        EXPECT_TRUE(firstLook.isPending());
        release.set_value();
        const FirstLook first = await(firstLook);
        EXPECT_FALSE(await(oldMarker));
        EXPECT_TRUE(await(newMarker));
        tick();
        heartbeat.stop();

        EXPECT_TRUE(await(deletion));
        EXPECT_FALSE(first.deletionPending);
        EXPECT_TRUE(first.fileHoldsSchema);
        EXPECT_EQ(first.synchronous, 1);  // NORMAL
        EXPECT_LT(longestGap, 50) << "the main thread stalled for " << longestGap << " ms";
        EXPECT_TRUE(await(next->broadcastMessageIDExists("member B")));
        next.reset();
        registry.setFileRemover(DatabaseFileRegistry::defaultFileRemover());
        for (const QString& file : DatabaseFileRegistry::databaseFilePaths(path)) QFile::remove(file);
    }
}

TEST_F(DeletionTest, AStoreDeletedBeforeItSetUpItsFileDoesNotWaitForItself) {
    auto old = files.make();
    saveMarker(old, "member A");
    std::promise<void> release;
    old->executeOnSqlQueue<bool>([gate = release.get_future().share()] {
        gate.wait();
        return true;
    });
    auto firstDeletion = old->deleteDatabase();
    old.reset();
    auto next = files.make();
    auto secondDeletion = next->deleteDatabase();
    release.set_value();
    EXPECT_TRUE(await(firstDeletion));
    EXPECT_TRUE(await(secondDeletion));
    EXPECT_FALSE(DatabaseFileRegistry::shared().hasPendingDeletion(files.path()));
    EXPECT_FALSE(QFile::exists(files.path()));
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
