// The store against the same work done with raw sqlite3 calls, over a store of 100,000 messages in
// 1,000 conversations: saving a page of 50 messages, reading a 50-message history page, reading a
// page of inbox summaries.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "Cascade/Filter/CascadeFilterJSONMapper.h"
#include "Cascade/Filter/FilterJSONMapper.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Chat/ConversationSummary.h"
#include "Chat/LastSeenMessageInfoJSONMapper.h"
#include "Chat/TextMessage.h"
#include "Persistence/TovrinPersistence.h"
#include "Persistence/databasewrapper/Database.h"
#include "Rules/RulesJSONMapper.h"

namespace tovrin {
namespace {

constexpr int conversations = 1000;
constexpr int messagesPerConversation = 100;
constexpr int pageSize = 50;
const QString me = QStringLiteral("me");

QString peer(int index) {
    return QStringLiteral("peer-%1").arg(index);
}

template <class T>
T wait(const Promise<T>& promise) {
    while (promise.isPending()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return *promise.value();
}

std::shared_ptr<TovrinPersistence> makeStore(const QString& path) {
    auto clock = std::make_shared<DeviceCurrentDateProvider>();
    return std::make_shared<TovrinPersistence>(
        std::make_shared<Database>(path), std::make_shared<NearbyUserJSONMapper>(clock),
        std::make_shared<FilterJSONMapper>(), std::make_shared<CascadeFilterJSONMapper>(),
        std::make_shared<RulesJSONMapper>(), std::make_shared<LastSeenMessageInfoJSONMapper>(), clock,
        std::make_shared<ThreadTrampoline>(
            std::make_shared<DispatchQueue>(QStringLiteral("TovrinPersistence"))));
}

// A raw connection with statements prepared once, as the store keeps them.
class RawConnection {
public:
    explicit RawConnection(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~RawConnection() {
        for (auto* statement : statements_) sqlite3_finalize(statement);
        sqlite3_close_v2(db_);
    }
    sqlite3* db() const { return db_; }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
        statements_.push_back(statement);
        return statement;
    }

private:
    sqlite3* db_ = nullptr;
    std::vector<sqlite3_stmt*> statements_;
};

void bindText(sqlite3_stmt* statement, int position, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text64(statement, position, utf8.constData(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// Two copies of one store file: one for the store, one for the raw calls.
class Fixture {
public:
    static Fixture& shared() {
        static Fixture fixture;
        return fixture;
    }
    QString oursPath() const { return directory_.filePath("ours.sqlite"); }
    QString baselinePath() const { return directory_.filePath("baseline.sqlite"); }

private:
    Fixture() {
        makeStore(oursPath()).reset();
        RawConnection raw(oursPath());
        sqlite3_exec(raw.db(), "BEGIN;", nullptr, nullptr, nullptr);
        auto* conversation = raw.prepare("INSERT INTO Conversations VALUES (?, 0, 0);");
        auto* message = raw.prepare("INSERT INTO ChatMessages VALUES (?, ?, ?, ?, ?, 2, ?, NULL, NULL, 1);");
        for (int c = 0; c < conversations; ++c) {
            bindText(conversation, 1, peer(c));
            sqlite3_step(conversation);
            sqlite3_reset(conversation);
            for (int m = 0; m < messagesPerConversation; ++m) {
                bindText(message, 1, QStringLiteral("m-%1-%2").arg(c).arg(m));
                bindText(message, 2, peer(c));
                bindText(message, 3, peer(c));
                bindText(message, 4, me);
                sqlite3_bind_double(message, 5, 1'600'000'000.0 + m * 60 + c * 0.001);
                bindText(message, 6, QStringLiteral("A message of ordinary length, number %1").arg(m));
                sqlite3_step(message);
                sqlite3_reset(message);
            }
        }
        sqlite3_exec(raw.db(), "COMMIT;", nullptr, nullptr, nullptr);
        QFile::copy(oursPath(), baselinePath());
    }

    QTemporaryDir directory_;
};

void SavePage_ours(benchmark::State& state) {
    auto store = makeStore(Fixture::shared().oursPath());
    int next = 0;
    for (auto _ : state) {
        std::vector<std::shared_ptr<DirectedMessage>> page;
        for (int index = 0; index < pageSize; ++index, ++next) {
            page.push_back(
                std::make_shared<TextMessage>(QStringLiteral("new-%1").arg(next), peer(next % conversations),
                                              me, QStringLiteral("A new message"),
                                              Date(1'700'000'000.0 + next), ChatMessageStatusReceived, true));
        }
        benchmark::DoNotOptimize(wait(store->saveDirectedMessages(std::move(page))));
    }
}

void SavePage_baseline(benchmark::State& state) {
    RawConnection raw(Fixture::shared().baselinePath());
    auto* conversation =
        raw.prepare("INSERT INTO Conversations (profileID, unreadMessages, unreadPhoto) VALUES (?, 0, 0);");
    auto* message = raw.prepare("INSERT OR REPLACE INTO ChatMessages VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    int next = 0;
    for (auto _ : state) {
        sqlite3_exec(raw.db(), "BEGIN TRANSACTION;", nullptr, nullptr, nullptr);
        for (int index = 0; index < pageSize; ++index, ++next) {
            const QString peerID = peer(next % conversations);
            bindText(conversation, 1, peerID);
            sqlite3_step(conversation);
            sqlite3_reset(conversation);
            bindText(message, 1, QStringLiteral("new-%1").arg(next));
            bindText(message, 2, peerID);
            bindText(message, 3, peerID);
            bindText(message, 4, me);
            sqlite3_bind_double(message, 5, 1'700'000'000.0 + next);
            sqlite3_bind_int64(message, 6, 2);
            bindText(message, 7, QStringLiteral("A new message"));
            sqlite3_bind_null(message, 8);
            sqlite3_bind_null(message, 9);
            sqlite3_bind_int64(message, 10, 1);
            benchmark::DoNotOptimize(sqlite3_step(message));
            sqlite3_reset(message);
        }
        sqlite3_exec(raw.db(), "COMMIT;", nullptr, nullptr, nullptr);
    }
}

void ReadHistoryPage_ours(benchmark::State& state) {
    auto store = makeStore(Fixture::shared().oursPath());
    int next = 0;
    for (auto _ : state) {
        auto page = wait(store->getChatMessagesExchangedWithProfileID(peer(next++ % conversations),
                                                                      Date(1'650'000'000), pageSize));
        benchmark::DoNotOptimize(page);
    }
}

struct RawMessage {
    QString messageID, sender, target, text, imageHash, location;
    double sentAt;
    qint64 status;
    bool fromXMPP;
};

QString columnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString();
}

RawMessage readMessage(sqlite3_stmt* statement) {
    return {columnText(statement, 0),
            columnText(statement, 1),
            columnText(statement, 2),
            columnText(statement, 5),
            columnText(statement, 6),
            columnText(statement, 7),
            sqlite3_column_double(statement, 3),
            sqlite3_column_int64(statement, 4),
            sqlite3_column_int(statement, 8) != 0};
}

void ReadHistoryPage_baseline(benchmark::State& state) {
    RawConnection raw(Fixture::shared().baselinePath());
    auto* select = raw.prepare(
        "SELECT messageID, senderProfileID, targetProfileID, sentTimestamp, status, text, imageHash, "
        "locationString, "
        "didReceiveFromXMPP FROM ChatMessages WHERE exchangedWithProfileID = ? AND didReceiveFromXMPP = 1 "
        "AND "
        "sentTimestamp < ? ORDER BY sentTimestamp DESC LIMIT ?;");
    int next = 0;
    for (auto _ : state) {
        std::vector<RawMessage> page;
        bindText(select, 1, peer(next++ % conversations));
        sqlite3_bind_double(select, 2, 1'650'000'000);
        sqlite3_bind_int64(select, 3, pageSize);
        while (sqlite3_step(select) == SQLITE_ROW) page.push_back(readMessage(select));
        sqlite3_reset(select);
        benchmark::DoNotOptimize(page);
    }
}

void ReadInboxSummaries_ours(benchmark::State& state) {
    auto store = makeStore(Fixture::shared().oursPath());
    for (auto _ : state) {
        auto summaries = wait(store->getConversationSummariesOlderThan(std::nullopt, pageSize));
        benchmark::DoNotOptimize(summaries);
    }
}

void ReadInboxSummaries_baseline(benchmark::State& state) {
    RawConnection raw(Fixture::shared().baselinePath());
    auto* select = raw.prepare(
        "SELECT c.messageID, c.senderProfileID, c.targetProfileID, c.sentTimestamp, c.status, c.text, "
        "c.imageHash, "
        "c.locationString, c.didReceiveFromXMPP, Conversations.unreadMessages, Conversations.unreadPhoto "
        "FROM Conversations JOIN ChatMessages c ON c.rowid = (SELECT newest.rowid FROM ChatMessages newest "
        "WHERE newest.exchangedWithProfileID = Conversations.profileID "
        "ORDER BY newest.sentTimestamp DESC, newest.rowid DESC LIMIT 1) "
        "WHERE c.sentTimestamp < ? ORDER BY c.sentTimestamp DESC LIMIT ?;");
    for (auto _ : state) {
        std::vector<std::pair<RawMessage, qint64>> summaries;
        sqlite3_bind_double(select, 1, Date::now().timeIntervalSince1970());
        sqlite3_bind_int64(select, 2, pageSize);
        while (sqlite3_step(select) == SQLITE_ROW) {
            summaries.emplace_back(readMessage(select), sqlite3_column_int64(select, 9));
        }
        sqlite3_reset(select);
        benchmark::DoNotOptimize(summaries);
    }
}

}  // namespace
}  // namespace tovrin

BENCHMARK(tovrin::SavePage_ours)->Name("SaveMessagePage/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(tovrin::SavePage_baseline)->Name("SaveMessagePage/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(tovrin::ReadHistoryPage_ours)->Name("ReadHistoryPage/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(tovrin::ReadHistoryPage_baseline)->Name("ReadHistoryPage/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(tovrin::ReadInboxSummaries_ours)->Name("ReadInboxSummaries/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(tovrin::ReadInboxSummaries_baseline)
    ->Name("ReadInboxSummaries/baseline")
    ->Unit(benchmark::kMicrosecond);
