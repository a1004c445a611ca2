// The store against the same work done with raw sqlite3 calls, over a store of 100,000 messages in
// 1,000 conversations: saving a page of 50 messages, reading a 50-message history page, reading a
// page of inbox summaries. Each work has three variants, every one on a fresh copy of the same
// file, with the same pragmas, for the same fixed number of iterations, timed on the wall clock
// (the store works on its own thread):
//   ours          the store: its queue, then the result back on the main queue;
//   baseline      raw calls on the main thread;
//   baseline_hop  raw calls behind the same hop as the store's, so ours ÷ baseline_hop is the
//                 store's own cost and baseline_hop ÷ baseline the hop's.
// EmptyRoundTrip times the hop alone: the store's queue and back with nothing to do, against the
// bare trampoline and promise the store is built on.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

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

// Iterations per work, the same for its three variants.
constexpr int savePageIterations = 200;
constexpr int readHistoryIterations = 2000;
constexpr int readSummariesIterations = 200;
constexpr int roundTripIterations = 20000;

QString peer(int index) {
    return QStringLiteral("peer-%1").arg(index);
}

template <class T>
T wait(const Promise<T>& promise) {
    while (promise.isPending()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return *promise.value();
}

std::shared_ptr<ThreadTrampoline> makeTrampoline() {
    return std::make_shared<ThreadTrampoline>(
        std::make_shared<DispatchQueue>(QStringLiteral("TovrinPersistence")));
}

std::shared_ptr<TovrinPersistence> makeStore(const QString& path) {
    auto clock = std::make_shared<DeviceCurrentDateProvider>();
    return std::make_shared<TovrinPersistence>(
        std::make_shared<Database>(path), std::make_shared<NearbyUserJSONMapper>(clock),
        std::make_shared<FilterJSONMapper>(), std::make_shared<CascadeFilterJSONMapper>(),
        std::make_shared<RulesJSONMapper>(), std::make_shared<LastSeenMessageInfoJSONMapper>(), clock,
        makeTrampoline());
}

// The store's hop without the store: the block on a serial queue of its own, its result settling a
// promise on the main queue.
class Hop {
public:
    template <class T>
    Promise<T> run(std::function<T()> block) {
        auto [promise, resolver] = Promise<T>::pending();
        auto result = std::make_shared<std::optional<T>>();
        trampoline_->executeBackgroundThreadBlock(
            [block = std::move(block), result] { result->emplace(block()); },
            [resolver = resolver, result] { resolver.fulfill(std::move(**result)); });
        return promise;
    }

private:
    std::shared_ptr<ThreadTrampoline> trampoline_ = makeTrampoline();
};

// A raw connection with statements prepared once, as the store keeps them, and the store's pragmas.
class RawConnection {
public:
    explicit RawConnection(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db_, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;", nullptr, nullptr,
                     nullptr);
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

// The store file every variant starts from, made once; each run gets a fresh copy.
class Fixture {
public:
    static Fixture& shared() {
        static Fixture fixture;
        return fixture;
    }

    // The previous run's copy is gone by then, and so is its file.
    QString freshCopy() {
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
            QFile::remove(copyPath(copies_) + suffix);
        }
        const QString path = copyPath(++copies_);
        QFile::copy(templatePath(), path);
        return path;
    }

private:
    QString templatePath() const { return directory_.filePath("template.sqlite"); }
    QString copyPath(int copy) const {
        return directory_.filePath(QStringLiteral("run-%1.sqlite").arg(copy));
    }

    Fixture() {
        makeStore(templatePath()).reset();
        RawConnection raw(templatePath());
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
        // Everything in the one file, so that a copy of it is the whole store.
        sqlite3_exec(raw.db(), "PRAGMA wal_checkpoint(TRUNCATE);", nullptr, nullptr, nullptr);
    }

    QTemporaryDir directory_;
    int copies_ = 0;
};

// Runs the work once before the timed iterations, so that no variant pays for first uses (the
// store compiles its statements then) inside them.
void run(benchmark::State& state, const std::function<void()>& work) {
    work();
    for (auto _ : state) work();
}

// Saving pages of new messages, each to an existing conversation.

class PageSaver {
public:
    std::vector<std::shared_ptr<DirectedMessage>> nextPage() {
        std::vector<std::shared_ptr<DirectedMessage>> page;
        for (int index = 0; index < pageSize; ++index, ++next_) {
            page.push_back(std::make_shared<TextMessage>(
                QStringLiteral("new-%1").arg(next_), peer(next_ % conversations), me,
                QStringLiteral("A new message"), Date(1'700'000'000.0 + next_), ChatMessageStatusReceived,
                true));
        }
        return page;
    }

    // The statements the store runs for one page, on a raw connection.
    explicit PageSaver(RawConnection* raw = nullptr) : raw_(raw) {
        if (!raw_) return;
        conversation_ = raw_->prepare(
            "INSERT INTO Conversations (profileID, unreadMessages, unreadPhoto) VALUES (?, 0, 0);");
        message_ =
            raw_->prepare("INSERT OR REPLACE INTO ChatMessages VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    }
    bool saveRawPage() {
        sqlite3_exec(raw_->db(), "BEGIN TRANSACTION;", nullptr, nullptr, nullptr);
        bool saved = true;
        for (int index = 0; index < pageSize; ++index, ++next_) {
            const QString peerID = peer(next_ % conversations);
            bindText(conversation_, 1, peerID);
            sqlite3_step(conversation_);
            sqlite3_reset(conversation_);
            bindText(message_, 1, QStringLiteral("new-%1").arg(next_));
            bindText(message_, 2, peerID);
            bindText(message_, 3, peerID);
            bindText(message_, 4, me);
            sqlite3_bind_double(message_, 5, 1'700'000'000.0 + next_);
            sqlite3_bind_int64(message_, 6, ChatMessageStatusReceived);
            bindText(message_, 7, QStringLiteral("A new message"));
            sqlite3_bind_null(message_, 8);
            sqlite3_bind_null(message_, 9);
            sqlite3_bind_int64(message_, 10, 1);
            saved = sqlite3_step(message_) == SQLITE_DONE && saved;
            sqlite3_reset(message_);
        }
        return sqlite3_exec(raw_->db(), "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK && saved;
    }

private:
    RawConnection* raw_;
    sqlite3_stmt* conversation_ = nullptr;
    sqlite3_stmt* message_ = nullptr;
    int next_ = 0;
};

void SavePage_ours(benchmark::State& state) {
    auto store = makeStore(Fixture::shared().freshCopy());
    PageSaver saver;
    run(state, [&] { benchmark::DoNotOptimize(wait(store->saveDirectedMessages(saver.nextPage()))); });
}

void SavePage_baseline(benchmark::State& state) {
    RawConnection raw(Fixture::shared().freshCopy());
    PageSaver saver(&raw);
    run(state, [&] { benchmark::DoNotOptimize(saver.saveRawPage()); });
}

void SavePage_baselineHop(benchmark::State& state) {
    RawConnection raw(Fixture::shared().freshCopy());
    PageSaver saver(&raw);
    Hop hop;
    run(state, [&] { benchmark::DoNotOptimize(wait(hop.run<bool>([&] { return saver.saveRawPage(); }))); });
}

// Reading a history page, each iteration another peer's.

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

class HistoryReader {
public:
    explicit HistoryReader(RawConnection& raw)
        : select_(raw.prepare(
              "SELECT messageID, senderProfileID, targetProfileID, sentTimestamp, status, text, imageHash, "
              "locationString, didReceiveFromXMPP FROM ChatMessages WHERE exchangedWithProfileID = ? AND "
              "didReceiveFromXMPP = 1 AND sentTimestamp < ? ORDER BY sentTimestamp DESC LIMIT ?;")) {}

    std::vector<RawMessage> readPage(int peerIndex) {
        std::vector<RawMessage> page;
        bindText(select_, 1, peer(peerIndex));
        sqlite3_bind_double(select_, 2, 1'650'000'000);
        sqlite3_bind_int64(select_, 3, pageSize);
        while (sqlite3_step(select_) == SQLITE_ROW) page.push_back(readMessage(select_));
        sqlite3_reset(select_);
        return page;
    }

private:
    sqlite3_stmt* select_;
};

void ReadHistoryPage_ours(benchmark::State& state) {
    auto store = makeStore(Fixture::shared().freshCopy());
    int next = 0;
    run(state, [&] {
        benchmark::DoNotOptimize(wait(store->getChatMessagesExchangedWithProfileID(
            peer(next++ % conversations), Date(1'650'000'000), pageSize)));
    });
}

void ReadHistoryPage_baseline(benchmark::State& state) {
    RawConnection raw(Fixture::shared().freshCopy());
    HistoryReader reader(raw);
    int next = 0;
    run(state, [&] { benchmark::DoNotOptimize(reader.readPage(next++ % conversations)); });
}

void ReadHistoryPage_baselineHop(benchmark::State& state) {
    RawConnection raw(Fixture::shared().freshCopy());
    HistoryReader reader(raw);
    Hop hop;
    int next = 0;
    run(state, [&] {
        const int peerIndex = next++ % conversations;
        benchmark::DoNotOptimize(
            wait(hop.run<std::vector<RawMessage>>([&, peerIndex] { return reader.readPage(peerIndex); })));
    });
}

// Reading the newest page of inbox summaries.

class SummariesReader {
public:
    explicit SummariesReader(RawConnection& raw)
        : select_(raw.prepare(
              "SELECT c.messageID, c.senderProfileID, c.targetProfileID, c.sentTimestamp, c.status, c.text, "
              "c.imageHash, c.locationString, c.didReceiveFromXMPP, Conversations.unreadMessages, "
              "Conversations.unreadPhoto FROM Conversations JOIN ChatMessages c ON c.rowid = (SELECT "
              "newest.rowid FROM ChatMessages newest WHERE newest.exchangedWithProfileID = "
              "Conversations.profileID ORDER BY newest.sentTimestamp DESC, newest.rowid DESC LIMIT 1) "
              "WHERE c.sentTimestamp < ? ORDER BY c.sentTimestamp DESC LIMIT ?;")) {}

    using Summaries = std::vector<std::pair<RawMessage, qint64>>;
    Summaries readPage(Date olderThan) {
        Summaries summaries;
        sqlite3_bind_double(select_, 1, olderThan.timeIntervalSince1970());
        sqlite3_bind_int64(select_, 2, pageSize);
        while (sqlite3_step(select_) == SQLITE_ROW) {
            summaries.emplace_back(readMessage(select_), sqlite3_column_int64(select_, 9));
        }
        sqlite3_reset(select_);
        return summaries;
    }

private:
    sqlite3_stmt* select_;
};

void ReadInboxSummaries_ours(benchmark::State& state) {
    auto store = makeStore(Fixture::shared().freshCopy());
    run(state, [&] {
        benchmark::DoNotOptimize(wait(store->getConversationSummariesOlderThan(std::nullopt, pageSize)));
    });
}

void ReadInboxSummaries_baseline(benchmark::State& state) {
    RawConnection raw(Fixture::shared().freshCopy());
    SummariesReader reader(raw);
    run(state, [&] { benchmark::DoNotOptimize(reader.readPage(Date::now())); });
}

void ReadInboxSummaries_baselineHop(benchmark::State& state) {
    RawConnection raw(Fixture::shared().freshCopy());
    SummariesReader reader(raw);
    Hop hop;
    run(state, [&] {
        const Date now = Date::now();
        benchmark::DoNotOptimize(
            wait(hop.run<SummariesReader::Summaries>([&, now] { return reader.readPage(now); })));
    });
}

// The hop alone.

void EmptyRoundTrip_ours(benchmark::State& state) {
    auto store = makeStore(Fixture::shared().freshCopy());
    run(state, [&] { benchmark::DoNotOptimize(wait(store->executeOnSqlQueue<bool>([] { return true; }))); });
}

void EmptyRoundTrip_baseline(benchmark::State& state) {
    Hop hop;
    run(state, [&] { benchmark::DoNotOptimize(wait(hop.run<bool>([] { return true; }))); });
}

void registerWork(const char* work, int iterations, void (*ours)(benchmark::State&),
                  void (*baseline)(benchmark::State&), void (*baselineHop)(benchmark::State&)) {
    const std::pair<const char*, void (*)(benchmark::State&)> variants[] = {
        {"ours", ours}, {"baseline", baseline}, {"baseline_hop", baselineHop}};
    for (const auto& [variant, function] : variants) {
        if (!function) continue;
        benchmark::RegisterBenchmark((std::string(work) + "/" + variant).c_str(), function)
            ->Iterations(iterations)
            ->UseRealTime()
            ->Unit(benchmark::kMicrosecond);
    }
}

const bool registered = [] {
    registerWork("SaveMessagePage", savePageIterations, SavePage_ours, SavePage_baseline,
                 SavePage_baselineHop);
    registerWork("ReadHistoryPage", readHistoryIterations, ReadHistoryPage_ours, ReadHistoryPage_baseline,
                 ReadHistoryPage_baselineHop);
    registerWork("ReadInboxSummaries", readSummariesIterations, ReadInboxSummaries_ours,
                 ReadInboxSummaries_baseline, ReadInboxSummaries_baselineHop);
    registerWork("EmptyRoundTrip", roundTripIterations, EmptyRoundTrip_ours, EmptyRoundTrip_baseline,
                 nullptr);
    return true;
}();

}  // namespace
}  // namespace tovrin
