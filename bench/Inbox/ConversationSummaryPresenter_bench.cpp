// An inbox of 2,000 conversations takes one live message and a page of 50 fetched summaries, each
// newer than what it holds, through the summary presenter: the rows are looked up by peer, replaced
// and sorted again, on the main thread. The baseline sorts the same 2,000 rows by date with
// `std::stable_sort`, from a copy in which the same 51 rows carry their new dates. The presenter's
// store writes go to a real store file; its queue is drained outside the timed part, since only the
// main thread's work is compared. Both run the same fixed number of iterations on the wall clock.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>

#include "Cascade/Filter/CascadeFilterJSONMapper.h"
#include "Cascade/Filter/FilterJSONMapper.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Chat/LastSeenMessageInfoJSONMapper.h"
#include "Chat/TextMessage.h"
#include "Inbox/ConversationSummaryPresenter.h"
#include "Persistence/TovrinPersistence.h"
#include "Persistence/databasewrapper/Database.h"
#include "Rules/RulesJSONMapper.h"

namespace tovrin {
namespace {

constexpr int inboxSize = 2000;
constexpr int pageSize = 50;
constexpr int mergeIterations = 300;
const QString member = QStringLiteral("1");

std::shared_ptr<DeviceCurrentDateProvider> deviceClock() {
    static auto clock = std::make_shared<DeviceCurrentDateProvider>();
    return clock;
}

std::shared_ptr<TovrinPersistence> makeStore(const QString& path) {
    return std::make_shared<TovrinPersistence>(
        std::make_shared<Database>(path), std::make_shared<NearbyUserJSONMapper>(deviceClock()),
        std::make_shared<FilterJSONMapper>(), std::make_shared<CascadeFilterJSONMapper>(),
        std::make_shared<RulesJSONMapper>(), std::make_shared<LastSeenMessageInfoJSONMapper>(), deviceClock(),
        std::make_shared<ThreadTrampoline>(
            std::make_shared<DispatchQueue>(QStringLiteral("TovrinPersistence"))));
}

void drain(const std::shared_ptr<TovrinPersistence>& store) {
    const Promise<bool> done = store->executeOnSqlQueue<bool>([] { return true; });
    while (done.isPending()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

QString peerAt(int index) {
    return QString::number(200000 + index);
}

std::shared_ptr<ConversationSummary> summaryOf(int peer, double second, quint32 unread) {
    auto message = std::make_shared<TextMessage>(QStringLiteral("m-%1-%2").arg(peer).arg(second),
                                                 peerAt(peer), member, QStringLiteral("Hello there"),
                                                 Date(1'600'000'000.0 + second), ChatMessageStatusReceived);
    return std::make_shared<ConversationSummary>(peerAt(peer), unread, false, std::move(message));
}

// What arrives in one iteration: the peers touched (spread over the list) and their new dates,
// later than everything before.
class Arrivals {
public:
    std::vector<std::shared_ptr<ConversationSummary>> nextPage() {
        std::vector<std::shared_ptr<ConversationSummary>> page;
        for (int index = 0; index < pageSize; ++index) page.push_back(next(1));
        return page;
    }
    std::shared_ptr<ConversationSummary> next(quint32 unread) {
        peer_ = (peer_ + 37) % inboxSize;
        return summaryOf(peer_, inboxSize + ++second_, unread);
    }

private:
    int peer_ = 0;
    int second_ = 0;
};

std::vector<std::shared_ptr<ConversationSummary>> initialInbox() {
    std::vector<std::shared_ptr<ConversationSummary>> summaries;
    for (int index = 0; index < inboxSize; ++index) summaries.push_back(summaryOf(index, index, 0));
    return summaries;
}

void InboxMerge_ours(benchmark::State& state) {
    QTemporaryDir folder;
    auto store = makeStore(folder.filePath("tovrin.sqlite"));
    auto presenter = std::make_shared<ConversationSummaryPresenter>(
        store, nullptr, nullptr, std::make_shared<ConversationSummariesFetcher>(nullptr));
    presenter->updateWithFetchedConversationSummaries(initialInbox());
    drain(store);
    Arrivals arrivals;
    for (auto _ : state) {
        state.PauseTiming();
        auto live = std::static_pointer_cast<ChatMessage>(arrivals.next(1)->mostRecentMessage());
        auto page = arrivals.nextPage();
        state.ResumeTiming();
        presenter->didReceiveNewChatMessage(live);
        presenter->updateWithFetchedConversationSummaries(page);
        benchmark::DoNotOptimize(presenter->conversationSummaries().count());
        state.PauseTiming();
        drain(store);
        state.ResumeTiming();
    }
    presenter.reset();
    store.reset();
    QCoreApplication::processEvents();
}

void InboxMerge_baseline(benchmark::State& state) {
    std::vector<std::shared_ptr<ConversationSummary>> rows = initialInbox();
    std::reverse(rows.begin(), rows.end());
    Arrivals arrivals;
    const auto byDateNewestFirst = [](const std::shared_ptr<ConversationSummary>& a,
                                      const std::shared_ptr<ConversationSummary>& b) {
        return a->mostRecentMessage()->sentDate() > b->mostRecentMessage()->sentDate();
    };
    for (auto _ : state) {
        state.PauseTiming();
        // The live message first, then the page, as the presenter takes them.
        std::vector<std::shared_ptr<ConversationSummary>> arrived{arrivals.next(1)};
        for (auto& summary : arrivals.nextPage()) arrived.push_back(std::move(summary));
        std::vector<std::shared_ptr<ConversationSummary>> updated = rows;
        for (const auto& summary : arrived) {
            const QString& peer = summary->profileID();
            *std::find_if(updated.begin(), updated.end(),
                          [&](const auto& row) { return row->profileID() == peer; }) = summary;
        }
        state.ResumeTiming();
        std::stable_sort(updated.begin(), updated.end(), byDateNewestFirst);
        benchmark::DoNotOptimize(updated.data());
        rows = std::move(updated);
    }
}

const bool registered = [] {
    const std::pair<const char*, void (*)(benchmark::State&)> variants[] = {
        {"ours", InboxMerge_ours}, {"baseline", InboxMerge_baseline}};
    for (const auto& [variant, function] : variants) {
        benchmark::RegisterBenchmark((std::string("InboxMerge/") + variant).c_str(), function)
            ->Iterations(mergeIterations)
            ->UseRealTime()
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
}  // namespace tovrin
