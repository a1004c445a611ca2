#include "Chat/ConversationSummariesManager.h"

#include "API/TovrinServiceError.h"
#include "Cascade/NearbyUserManager.h"
#include "Inbox/ConversationSummariesService.h"
#include "Persistence/TovrinPersistence.h"

namespace tovrin {

namespace {

constexpr quint32 kReasonNoInternetConnection = 1;
constexpr quint32 kReasonOtherFailure = 2;
constexpr quint32 kReasonFirstPageRequested = 3;

}  // namespace

ConversationSummariesManager::ConversationSummariesManager(
    std::shared_ptr<ConversationSummariesService> conversationsSummaryService,
    std::shared_ptr<NearbyUserManager> nearbyUserManager,
    std::shared_ptr<TovrinPersistence> tovrinPersistence)
    : conversationsSummaryService_(std::move(conversationsSummaryService)),
      nearbyUserManager_(std::move(nearbyUserManager)),
      tovrinPersistence_(std::move(tovrinPersistence)) {}

Promise<ConversationSummaryManagerLoadResponse>
ConversationSummariesManager::retrieveFirstPageOfConversationSummariesWithQuantity(quint32 quantity) {
    return retrieveConversationSummariesOlderThan(std::nullopt, std::nullopt, quantity, true);
}

Promise<ConversationSummaryManagerLoadResponse>
ConversationSummariesManager::retrieveConversationSummariesOlderThan(std::optional<Date> olderThan,
                                                                     std::optional<Date> newerThan,
                                                                     quint32 quantity) {
    return retrieveConversationSummariesOlderThan(olderThan, newerThan, quantity, false);
}

Promise<ConversationSummaryManagerLoadResponse>
ConversationSummariesManager::retrieveFirstPageOfConversationSummariesFromPersistenceWithQuantity(
    quint32 quantity) {
    return retrieveConversationSummariesFromPersistenceOlderThan(std::nullopt, quantity,
                                                                 kReasonFirstPageRequested);
}

Promise<ConversationSummaryManagerLoadResponse>
ConversationSummariesManager::retrieveConversationSummariesOlderThan(std::optional<Date> olderThan,
                                                                     std::optional<Date> newerThan,
                                                                     quint32 quantity, bool isFirstPage) {
    using Response = ConversationSummaryManagerLoadResponse;
    // The collaborators travel with the continuations, so a page settles even when the session
    // dropped the manager meanwhile.
    auto store = tovrinPersistence_;
    auto users = nearbyUserManager_;
    const Promise<Response> fromService =
        conversationsSummaryService_
            ->retrieveConversationSummaryItemsOlderThan(olderThan, newerThan, quantity)
            .then([store, users,
                   isFirstPage](const std::vector<std::shared_ptr<ConversationSummaryServiceItem>>& items) {
                // Asked for before the presenter writes this page's rows, and the store keeps order.
                if (isFirstPage) store->removeAllConversationSummaries();
                std::vector<std::shared_ptr<ConversationSummary>> summaries;
                summaries.reserve(items.size());
                for (const auto& item : items) {
                    users->saveNearbyUser(item->nearbyUser(), true);
                    summaries.push_back(std::make_shared<ConversationSummary>(
                        item->nearbyUser()->profileID(), item->unread(), item->unreadPhoto(),
                        item->lastMessages().empty() ? nullptr : item->lastMessages().front()));
                }
                return Response(std::move(summaries));
            });
    return fromService.catchError([store, olderThan, quantity](const Error& error) {
        const quint32 reason = isTovrinServiceError(error, TovrinServiceErrorNoInternetConnection)
                                   ? kReasonNoInternetConnection
                                   : kReasonOtherFailure;
        return ConversationSummariesManager::storePage(store, olderThan, quantity, reason);
    });
}

Promise<ConversationSummaryManagerLoadResponse>
ConversationSummariesManager::retrieveConversationSummariesFromPersistenceOlderThan(
    std::optional<Date> olderThan, quint32 quantity, quint32 persistenceFallBackReason) {
    return storePage(tovrinPersistence_, olderThan, quantity, persistenceFallBackReason);
}

Promise<ConversationSummaryManagerLoadResponse> ConversationSummariesManager::storePage(
    const std::shared_ptr<TovrinPersistence>& store, std::optional<Date> olderThan, quint32 quantity,
    quint32 reason) {
    return store->getConversationSummariesOlderThan(olderThan, quantity)
        .then([reason](const std::vector<std::shared_ptr<ConversationSummary>>& summaries) {
            return ConversationSummaryManagerLoadResponse(summaries, PersistenceFallBackInfo(true, reason));
        });
}

}  // namespace tovrin
