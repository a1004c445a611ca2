#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "Chat/ConversationSummary.h"
#include "Inbox/ConversationSummariesFetcher.h"
#include "Inbox/ConversationSummaryPresenterDelegate.h"
#include "Inbox/ConversationSummaryPresenterLoadResponse.h"
#include "Inbox/ConversationSummaryWrapper.h"
#include "Inbox/MessageAcknowledgementHandler.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class BlockedUserManager;
class ChatConversationDeletionMessage;
class ChatMessageAcknowledgement;
class CurrentConversationManager;
class TovrinPersistence;

// The inbox's list of conversations: one summary per peer, the newest most recent message first,
// those without one last (equal dates keep their order). It merges the fetcher's pages and the live
// events of the inbox, leaves blocked peers out, writes the counters of the rows it takes and the
// fetched messages to the store, and hands every fetched most recent message to the acknowledgement
// handler. Delegate and handler are held weakly: the inbox owns the presenter, and a strong link
// back would keep both alive after sign-out. Main thread; made with `std::make_shared`.
class ConversationSummaryPresenter : public std::enable_shared_from_this<ConversationSummaryPresenter> {
public:
    ConversationSummaryPresenter(std::shared_ptr<TovrinPersistence> tovrinPersistence,
                                 std::shared_ptr<CurrentConversationManager> currentConversationManager,
                                 std::shared_ptr<BlockedUserManager> blockedUserManager,
                                 std::shared_ptr<ConversationSummariesFetcher> conversationSummariesFetcher);

    Promise<ConversationSummaryPresenterLoadResponse> loadNextPage();
    Promise<ConversationSummaryPresenterLoadResponse> refresh();
    // Writes the page's counters but not its messages, which came from the store.
    Promise<ConversationSummaryPresenterLoadResponse> loadFirstPageFromPersistence();

    // The rows of this moment; later changes do not reach an array handed out.
    ConversationSummaryWrapperArrayFacade conversationSummaries() const;
    bool canLoadNextPage() const;

    // A chat message of a conversation, received or sent: the peer's row moves up with it; a
    // received one counts as unread unless the member is chatting with the peer.
    void didReceiveNewChatMessage(const std::shared_ptr<ChatMessage>& message);
    // The member's own displayed marker clears the peer's counters; the peer's marker on the
    // member's messages and other kinds change nothing.
    void didReceiveAcknowledgement(const ChatMessageAcknowledgement& acknowledgement);
    void didReceiveChatConversationDeletion(const ChatConversationDeletionMessage& deletion);
    void didBlockUserNotification(const Notification& notification);

    std::shared_ptr<ConversationSummaryPresenterDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ConversationSummaryPresenterDelegate> delegate) {
        delegate_ = std::move(delegate);
    }
    std::shared_ptr<MessageAcknowledgementHandler> messageAcknowledgementHandler() const {
        return messageAcknowledgementHandler_.lock();
    }
    void setMessageAcknowledgementHandler(std::weak_ptr<MessageAcknowledgementHandler> handler) {
        messageAcknowledgementHandler_ = std::move(handler);
    }

    // Null when the peer has no row.
    std::shared_ptr<ConversationSummary> conversationSummaryForProfileID(const QString& profileID) const;
    // -1 when the first wrapper's most recent message is earlier, 0 equal, 1 later; no message counts
    // as earlier than any.
    static int compareConversationSummaryWrapper(const ConversationSummaryWrapper& first,
                                                 const ConversationSummaryWrapper& second);

    void updateWithFetchedConversationSummaries(
        const std::vector<std::shared_ptr<ConversationSummary>>& summaries, bool shouldPersist = true);
    void updateAndSortWithConversationSummaries(
        const std::vector<std::shared_ptr<ConversationSummary>>& summaries, bool shouldPersist = true);
    void removeConversationsWithUser(const QString& profileID);
    std::vector<std::shared_ptr<ConversationSummary>> filteredArrayFromConversationSummaries(
        const std::vector<std::shared_ptr<ConversationSummary>>& summaries) const;

private:
    Promise<ConversationSummaryPresenterLoadResponse> adaptConversationSummariesFetcherPromise(
        const Promise<ConversationSummariesFetcherResponse>& promise, bool shouldPersist = true);
    void tellDelegateOfChange();

    std::shared_ptr<const ConversationSummaryWrapperOrderedSet> summarySet_;
    std::weak_ptr<ConversationSummaryPresenterDelegate> delegate_;
    std::weak_ptr<MessageAcknowledgementHandler> messageAcknowledgementHandler_;
    std::shared_ptr<TovrinPersistence> tovrinPersistence_;
    std::shared_ptr<CurrentConversationManager> currentConversationManager_;
    std::shared_ptr<BlockedUserManager> blockedUserManager_;
    std::shared_ptr<ConversationSummariesFetcher> conversationSummariesFetcher_;
    NotificationToken blockObservation_;
};

}  // namespace tovrin
