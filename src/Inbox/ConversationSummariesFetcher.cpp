#include "Inbox/ConversationSummariesFetcher.h"

#include <algorithm>

namespace tovrin {

ConversationSummariesFetcher::ConversationSummariesFetcher(
    std::shared_ptr<ConversationSummariesManager> conversationSummariesManager)
    : conversationSummariesManager_(std::move(conversationSummariesManager)) {}

Promise<ConversationSummariesFetcherResponse> ConversationSummariesFetcher::loadNextPage() {
    return loadNextPageWithSize(pageSize);
}

Promise<ConversationSummariesFetcherResponse> ConversationSummariesFetcher::refresh() {
    ongoingLoadNextPagePromise_ = {};
    return loadNextPage();
}

Promise<ConversationSummariesFetcherResponse> ConversationSummariesFetcher::loadFirstPageFromPersistence() {
    ongoingLoadNextPagePromise_ = {};
    return conversationSummariesManager_
        ->retrieveFirstPageOfConversationSummariesFromPersistenceWithQuantity(pageSize)
        .then(weak_from_this(),
              [](ConversationSummariesFetcher& self, const ConversationSummaryManagerLoadResponse& page) {
                  self.updateDatesBasedOnRetrievedConversationSummaries(page.conversationSummaries());
                  return ConversationSummariesFetcherResponse(page.conversationSummaries(),
                                                              page.persistenceFallBackInfo());
              });
}

Promise<ConversationSummariesFetcherResponse> ConversationSummariesFetcher::loadNextPageWithSize(
    quint32 size) {
    // A failed (or cancelled) load is no load in flight: the next call starts again.
    if (!ongoingLoadNextPagePromise_.isNull() &&
        (ongoingLoadNextPagePromise_.isRejected() || ongoingLoadNextPagePromise_.isCancelled()))
        ongoingLoadNextPagePromise_ = {};
    if (ongoingLoadNextPagePromise_.isNull()) {
        ongoingLoadNextPagePromise_ = getNewConversationSummariesForPageSize(size).then(
            weak_from_this(),
            [](ConversationSummariesFetcher& self, const ConversationSummaryManagerLoadResponse& page) {
                const bool hasSummaries = !page.conversationSummaries().empty();
                if (hasSummaries)
                    self.updateDatesBasedOnRetrievedConversationSummaries(page.conversationSummaries());
                self.canLoadNextPage_ = hasSummaries;
                // Also when a refresh started another load meanwhile.
                self.ongoingLoadNextPagePromise_ = {};
                return ConversationSummariesFetcherResponse(page.conversationSummaries(),
                                                            page.persistenceFallBackInfo());
            });
    }
    return ongoingLoadNextPagePromise_;
}

Promise<ConversationSummaryManagerLoadResponse>
ConversationSummariesFetcher::getNewConversationSummariesForPageSize(quint32 size) {
    if (isFirstTimeGettingNextPage())
        return conversationSummariesManager_->retrieveFirstPageOfConversationSummariesWithQuantity(size);
    return conversationSummariesManager_->retrieveConversationSummariesOlderThan(currentOlderThanDate_,
                                                                                 currentNewerThanDate_, size);
}

void ConversationSummariesFetcher::updateDatesBasedOnRetrievedConversationSummaries(
    const std::vector<std::shared_ptr<ConversationSummary>>& conversationSummaries) {
    Date older = currentOlderThanDate_.value_or(distantFuture);
    Date newer = currentNewerThanDate_.value_or(distantPast);
    for (const auto& summary : conversationSummaries) {
        const std::optional<Date> sent = summary ? sentDateFromSummary(*summary) : std::nullopt;
        if (!sent) continue;
        older = std::min(older, *sent);
        newer = std::max(newer, *sent);
    }
    currentOlderThanDate_ = older;
    currentNewerThanDate_ = newer;
}

std::optional<Date> ConversationSummariesFetcher::sentDateFromSummary(const ConversationSummary& summary) {
    if (!summary.mostRecentMessage()) return std::nullopt;
    return summary.mostRecentMessage()->sentDate();
}

}  // namespace tovrin
