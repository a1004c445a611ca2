// Saving a fetched grid page of 50 users through the member's user cache, each persisted, until the
// store's queue has written them all, against one raw sqlite3 transaction writing the same rows.
// Both map every user to its stored JSON form; both start from an empty store file of the same
// schema and pragmas, run the same fixed number of iterations and are timed on the wall clock.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "Cascade/Filter/CascadeFilterJSONMapper.h"
#include "Cascade/Filter/FilterJSONMapper.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Cascade/NearbyUserManager.h"
#include "Chat/LastSeenMessageInfoJSONMapper.h"
#include "Persistence/TovrinPersistence.h"
#include "Persistence/databasewrapper/Database.h"
#include "Rules/RulesJSONMapper.h"
#include "platform/foundation/JSON.h"

namespace tovrin {
namespace {

constexpr int usersPerPage = 50;
constexpr int pageIterations = 200;

std::shared_ptr<DeviceCurrentDateProvider> deviceClock() {
    static auto clock = std::make_shared<DeviceCurrentDateProvider>();
    return clock;
}

std::shared_ptr<TovrinPersistence> makeUserStore(const QString& path) {
    return std::make_shared<TovrinPersistence>(
        std::make_shared<Database>(path), std::make_shared<NearbyUserJSONMapper>(deviceClock()),
        std::make_shared<FilterJSONMapper>(), std::make_shared<CascadeFilterJSONMapper>(),
        std::make_shared<RulesJSONMapper>(), std::make_shared<LastSeenMessageInfoJSONMapper>(), deviceClock(),
        std::make_shared<ThreadTrampoline>(
            std::make_shared<DispatchQueue>(QStringLiteral("TovrinPersistence"))));
}

template <class T>
T settle(const Promise<T>& promise) {
    while (promise.isPending()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return *promise.value();
}

// Pages of members as the grid receives them: each user new, with every value present.
class PageMaker {
public:
    std::vector<std::shared_ptr<NearbyUser>> nextPage() {
        std::vector<std::shared_ptr<NearbyUser>> page;
        for (int index = 0; index < usersPerPage; ++index, ++next_) {
            page.push_back(std::make_shared<NearbyUser>(
                QString::number(100000 + next_), QStringLiteral("Member %1").arg(next_),
                QStringLiteral("media-hash-%1").arg(next_), 20 + next_ % 40, Date(1'700'000'000.0 + next_),
                100.0 * index, next_ % 7 == 0, index % 3 == 0));
        }
        return page;
    }

private:
    int next_ = 0;
};

void run(benchmark::State& state, const std::function<void()>& work) {
    work();
    for (auto _ : state) work();
}

void SaveNearbyUserPage_ours(benchmark::State& state) {
    QTemporaryDir folder;
    auto store = makeUserStore(folder.filePath("tovrin.sqlite"));
    NearbyUserManager manager(store);
    PageMaker pages;
    run(state, [&] {
        for (const auto& user : pages.nextPage()) manager.saveNearbyUser(user, true);
        // The queue is serial: this runs once every save before it has.
        benchmark::DoNotOptimize(settle(store->executeOnSqlQueue<bool>([] { return true; })));
    });
    store.reset();
    QCoreApplication::processEvents();
}

void SaveNearbyUserPage_baseline(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath("tovrin.sqlite");
    makeUserStore(path).reset();
    QCoreApplication::processEvents();
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO Profiles VALUES (?, ?, ?, ?);", -1, &insert, nullptr);
    NearbyUserJSONMapper mapper(deviceClock());
    PageMaker pages;
    run(state, [&] {
        sqlite3_exec(db, "BEGIN TRANSACTION;", nullptr, nullptr, nullptr);
        bool saved = true;
        for (const auto& user : pages.nextPage()) {
            // The row the cache stores: no distance, offline.
            const NearbyUser row(user->profileID(), user->displayName(), user->mediaHash(), user->age(),
                                 user->lastSeen(), std::nullopt, user->isFavorite(), false);
            const QByteArray id = row.profileID().toUtf8();
            const QByteArray name = row.displayName().toUtf8();
            const QByteArray json = JSON::serialize(mapper.JSONDictionaryWithNearbyUser(row));
            sqlite3_bind_text64(insert, 1, id.constData(), id.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            sqlite3_bind_text64(insert, 2, name.constData(), name.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            sqlite3_bind_int64(insert, 3, row.isFavorite() ? 1 : 0);
            sqlite3_bind_blob64(insert, 4, json.constData(), json.size(), SQLITE_TRANSIENT);
            saved = sqlite3_step(insert) == SQLITE_DONE && saved;
            sqlite3_reset(insert);
        }
        saved = sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK && saved;
        benchmark::DoNotOptimize(saved);
    });
    sqlite3_finalize(insert);
    sqlite3_close_v2(db);
}

const bool registered = [] {
    const std::pair<const char*, void (*)(benchmark::State&)> variants[] = {
        {"ours", SaveNearbyUserPage_ours}, {"baseline", SaveNearbyUserPage_baseline}};
    for (const auto& [variant, function] : variants) {
        benchmark::RegisterBenchmark((std::string("SaveNearbyUserPage/") + variant).c_str(), function)
            ->Iterations(pageIterations)
            ->UseRealTime()
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
}  // namespace tovrin
