#pragma once

#include <memory>
#include <optional>

#include "Chat/ConversationSummaryManagerLoadResponse.h"
#include "platform/di/Inject.h"
#include "platform/foundation/Date.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class ConversationSummariesService;
class NearbyUserManager;
class TovrinPersistence;

// Pages of inbox rows: from the service, whose peers it registers with the member's user cache, or
// from the local store when the service cannot answer, with the reason in the page's fall-back
// note (1 no connection, 2 any other failure, 3 asked for). Its promises never reject. Keeps nothing
// between calls; one per member session. Main thread.
class ConversationSummariesManager {
public:
    ConversationSummariesManager(std::shared_ptr<ConversationSummariesService> conversationsSummaryService,
                                 std::shared_ptr<NearbyUserManager> nearbyUserManager,
                                 std::shared_ptr<TovrinPersistence> tovrinPersistence);

    using Dependencies = Inject<ConversationSummariesService, NearbyUserManager, TovrinPersistence>;

    // The service's newest page; it replaces every summary the store kept.
    Promise<ConversationSummaryManagerLoadResponse> retrieveFirstPageOfConversationSummariesWithQuantity(
        quint32 quantity);
    Promise<ConversationSummaryManagerLoadResponse> retrieveConversationSummariesOlderThan(
        std::optional<Date> olderThan, std::optional<Date> newerThan, quint32 quantity);
    // The store's newest page, without asking the service (reason 3).
    Promise<ConversationSummaryManagerLoadResponse>
    retrieveFirstPageOfConversationSummariesFromPersistenceWithQuantity(quint32 quantity);

    Promise<ConversationSummaryManagerLoadResponse> retrieveConversationSummariesOlderThan(
        std::optional<Date> olderThan, std::optional<Date> newerThan, quint32 quantity, bool isFirstPage);
    // The newer-than bound has no meaning for the store: it lists its newest summaries older than
    // the date (now when there is none).
    Promise<ConversationSummaryManagerLoadResponse> retrieveConversationSummariesFromPersistenceOlderThan(
        std::optional<Date> olderThan, quint32 quantity, quint32 persistenceFallBackReason);

    const std::shared_ptr<ConversationSummariesService>& conversationsSummaryService() const {
        return conversationsSummaryService_;
    }
    const std::shared_ptr<NearbyUserManager>& nearbyUserManager() const { return nearbyUserManager_; }
    const std::shared_ptr<TovrinPersistence>& tovrinPersistence() const { return tovrinPersistence_; }

private:
    static Promise<ConversationSummaryManagerLoadResponse> storePage(
        const std::shared_ptr<TovrinPersistence>& store, std::optional<Date> olderThan, quint32 quantity,
        quint32 reason);

    std::shared_ptr<ConversationSummariesService> conversationsSummaryService_;
    std::shared_ptr<NearbyUserManager> nearbyUserManager_;
    std::shared_ptr<TovrinPersistence> tovrinPersistence_;
};

}  // namespace tovrin
