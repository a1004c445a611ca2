#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "Chat/ConversationSummariesManager.h"
#include "Inbox/ConversationSummariesFetcherResponse.h"
#include "platform/foundation/Date.h"
#include "platform/promise/Promise.h"

namespace tovrin {

// Pages through the member's conversations for the inbox. It keeps the window of sent dates the
// pages so far covered and asks for what lies beyond it; one next-page load runs at a time and its
// callers share it. The window is never reset while the session lasts. Main thread; made with
// `std::make_shared` (its completions hold it weakly).
class ConversationSummariesFetcher : public std::enable_shared_from_this<ConversationSummariesFetcher> {
public:
    explicit ConversationSummariesFetcher(
        std::shared_ptr<ConversationSummariesManager> conversationSummariesManager);

    static constexpr quint32 pageSize = 50;
    // What stands for an unbounded side once a page was loaded: earlier or later than any message.
    static constexpr Date distantPast = Date(-62135596800.0);
    static constexpr Date distantFuture = Date(64092211200.0);

    Promise<ConversationSummariesFetcherResponse> loadNextPage();
    // Starts a new load, leaving the one in flight to complete on its own; the window stays.
    Promise<ConversationSummariesFetcherResponse> refresh();
    // The store's newest page; it widens the window (so the next page is no first page) but leaves
    // `canLoadNextPage` and the load in flight alone.
    Promise<ConversationSummariesFetcherResponse> loadFirstPageFromPersistence();
    bool canLoadNextPage() const { return canLoadNextPage_; }

    Promise<ConversationSummariesFetcherResponse> loadNextPageWithSize(quint32 size);
    bool isFirstTimeGettingNextPage() const { return !currentNewerThanDate_ && !currentOlderThanDate_; }
    Promise<ConversationSummaryManagerLoadResponse> getNewConversationSummariesForPageSize(quint32 size);
    // Summaries without a most recent message have no date and leave the bounds as they are.
    void updateDatesBasedOnRetrievedConversationSummaries(
        const std::vector<std::shared_ptr<ConversationSummary>>& conversationSummaries);
    static std::optional<Date> sentDateFromSummary(const ConversationSummary& summary);

    std::optional<Date> currentOlderThanDate() const { return currentOlderThanDate_; }
    std::optional<Date> currentNewerThanDate() const { return currentNewerThanDate_; }
    const std::shared_ptr<ConversationSummariesManager>& conversationSummariesManager() const {
        return conversationSummariesManager_;
    }

private:
    std::shared_ptr<ConversationSummariesManager> conversationSummariesManager_;
    std::optional<Date> currentOlderThanDate_;
    std::optional<Date> currentNewerThanDate_;
    Promise<ConversationSummariesFetcherResponse> ongoingLoadNextPagePromise_;
    bool canLoadNextPage_ = false;
};

}  // namespace tovrin
