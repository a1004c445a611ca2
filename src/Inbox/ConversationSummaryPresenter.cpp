#include "Inbox/ConversationSummaryPresenter.h"

#include <QHash>
#include <algorithm>

#include "Blocked/BlockedUserManager.h"
#include "Chat/ChatConversationDeletionMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "Chat/CurrentConversationManager.h"
#include "Chat/DirectedMessageCategorizer.h"
#include "Persistence/TovrinPersistence.h"

namespace tovrin {

namespace {

std::optional<Date> sentDateOf(const ConversationSummaryWrapper& wrapper) {
    const auto& message = wrapper.conversationSummary()->mostRecentMessage();
    return message ? std::optional(message->sentDate()) : std::nullopt;
}

}  // namespace

ConversationSummaryPresenter::ConversationSummaryPresenter(
    std::shared_ptr<TovrinPersistence> tovrinPersistence,
    std::shared_ptr<CurrentConversationManager> currentConversationManager,
    std::shared_ptr<BlockedUserManager> blockedUserManager,
    std::shared_ptr<ConversationSummariesFetcher> conversationSummariesFetcher)
    : summarySet_(std::make_shared<const ConversationSummaryWrapperOrderedSet>()),
      tovrinPersistence_(std::move(tovrinPersistence)),
      currentConversationManager_(std::move(currentConversationManager)),
      blockedUserManager_(std::move(blockedUserManager)),
      conversationSummariesFetcher_(std::move(conversationSummariesFetcher)) {
    // The token ends the observation with the presenter, on the main thread that posts it.
    blockObservation_ = NotificationCenter::defaultCenter()->addObserver(
        BlockedUserManagerDidBlockUserNotification, nullptr,
        [this](const Notification& notification) { didBlockUserNotification(notification); });
}

Promise<ConversationSummaryPresenterLoadResponse> ConversationSummaryPresenter::loadNextPage() {
    return adaptConversationSummariesFetcherPromise(conversationSummariesFetcher_->loadNextPage());
}

Promise<ConversationSummaryPresenterLoadResponse> ConversationSummaryPresenter::refresh() {
    return adaptConversationSummariesFetcherPromise(conversationSummariesFetcher_->refresh());
}

Promise<ConversationSummaryPresenterLoadResponse>
ConversationSummaryPresenter::loadFirstPageFromPersistence() {
    return adaptConversationSummariesFetcherPromise(
        conversationSummariesFetcher_->loadFirstPageFromPersistence(), false);
}

ConversationSummaryWrapperArrayFacade ConversationSummaryPresenter::conversationSummaries() const {
    return ConversationSummaryWrapperArrayFacade(summarySet_);
}

bool ConversationSummaryPresenter::canLoadNextPage() const {
    return conversationSummariesFetcher_->canLoadNextPage();
}

Promise<ConversationSummaryPresenterLoadResponse>
ConversationSummaryPresenter::adaptConversationSummariesFetcherPromise(
    const Promise<ConversationSummariesFetcherResponse>& promise, bool shouldPersist) {
    return promise.then(weak_from_this(), [shouldPersist](ConversationSummaryPresenter& self,
                                                          const ConversationSummariesFetcherResponse& page) {
        self.updateWithFetchedConversationSummaries(page.conversationSummaries(), shouldPersist);
        return ConversationSummaryPresenterLoadResponse(self.conversationSummariesFetcher_->canLoadNextPage(),
                                                        page.persistenceFallBackInfo());
    });
}

void ConversationSummaryPresenter::didReceiveNewChatMessage(const std::shared_ptr<ChatMessage>& message) {
    if (!message) return;
    const QString peer = message->exchangedInConversationWithProfileID();
    const std::shared_ptr<ConversationSummary> held = conversationSummaryForProfileID(peer);
    quint32 unread = held ? held->unread() : 0;
    bool unreadPhoto = held && held->unreadPhoto();
    if (message->status() == ChatMessageStatusReceived &&
        !(currentConversationManager_ && currentConversationManager_->isChattingWith(peer))) {
        unread += 1;
        unreadPhoto = unreadPhoto || DirectedMessageCategorizer::isImageHashMessage(message.get());
    }
    updateAndSortWithConversationSummaries(
        {std::make_shared<ConversationSummary>(peer, unread, unreadPhoto, message)});
    tellDelegateOfChange();
}

void ConversationSummaryPresenter::didReceiveAcknowledgement(
    const ChatMessageAcknowledgement& acknowledgement) {
    if (acknowledgement.type() != ChatMessageAcknowledgementTypeDisplayed) return;
    const QString peer = acknowledgement.exchangedInConversationWithProfileID();
    // The peer's marker on the member's own messages says nothing about what the member has read.
    if (acknowledgement.originalMessageRecipientProfileID() == peer) return;
    const std::shared_ptr<ConversationSummary> held = conversationSummaryForProfileID(peer);
    if (!held) return;
    updateAndSortWithConversationSummaries(
        {std::make_shared<ConversationSummary>(peer, 0, false, held->mostRecentMessage())});
    tellDelegateOfChange();
}

void ConversationSummaryPresenter::didReceiveChatConversationDeletion(
    const ChatConversationDeletionMessage& deletion) {
    removeConversationsWithUser(deletion.exchangedInConversationWithProfileID());
}

void ConversationSummaryPresenter::didBlockUserNotification(const Notification& notification) {
    const QString profileID =
        notification.userInfo.value(BlockedUserManagerBlockedProfileIDUserInfoKey).toString();
    if (!profileID.isEmpty()) removeConversationsWithUser(profileID);
}

std::shared_ptr<ConversationSummary> ConversationSummaryPresenter::conversationSummaryForProfileID(
    const QString& profileID) const {
    const auto found =
        std::find_if(summarySet_->begin(), summarySet_->end(),
                     [&](const ConversationSummaryWrapper& held) { return held.profileID() == profileID; });
    return found == summarySet_->end() ? nullptr : found->conversationSummary();
}

int ConversationSummaryPresenter::compareConversationSummaryWrapper(
    const ConversationSummaryWrapper& first, const ConversationSummaryWrapper& second) {
    const std::optional<Date> a = sentDateOf(first);
    const std::optional<Date> b = sentDateOf(second);
    if (a == b) return 0;
    return a < b ? -1 : 1;  // no date orders before every date
}

void ConversationSummaryPresenter::updateWithFetchedConversationSummaries(
    const std::vector<std::shared_ptr<ConversationSummary>>& summaries, bool shouldPersist) {
    const std::vector<std::shared_ptr<ConversationSummary>> kept =
        filteredArrayFromConversationSummaries(summaries);
    if (kept.empty()) return;
    updateAndSortWithConversationSummaries(kept, shouldPersist);
    tellDelegateOfChange();
    const auto handler = messageAcknowledgementHandler_.lock();
    if (!handler) return;
    for (const auto& summary : kept) {
        if (summary->mostRecentMessage())
            handler->addMessageToAcknowledgementPool(summary->mostRecentMessage());
    }
}

void ConversationSummaryPresenter::updateAndSortWithConversationSummaries(
    const std::vector<std::shared_ptr<ConversationSummary>>& summaries, bool shouldPersist) {
    const ConversationSummaryWrapperOrderedSet& held = *summarySet_;
    // Rows that change: new rows (in front of the held ones, in the order given, so rows of equal
    // dates keep the order of the page that brought them) and held rows replaced in place. Each
    // carries its place in that sequence, new rows before every held row.
    struct Moved {
        ConversationSummaryWrapper wrapper;
        size_t sequence;
    };
    std::vector<Moved> moved;
    QHash<QString, size_t> movedByPeer;
    QHash<QString, size_t> heldByPeer;
    const bool indexed = summaries.size() > 1;
    if (indexed) {
        heldByPeer.reserve(qsizetype(held.size()));
        for (size_t index = 0; index < held.size(); ++index)
            heldByPeer.insert(held[index].profileID(), index);
    }
    auto heldIndexOf = [&](const QString& profileID) -> std::optional<size_t> {
        if (indexed) {
            const auto found = heldByPeer.constFind(profileID);
            return found == heldByPeer.constEnd() ? std::nullopt : std::optional(*found);
        }
        for (size_t index = 0; index < held.size(); ++index)
            if (held[index].profileID() == profileID) return index;
        return std::nullopt;
    };
    size_t addedCount = 0;
    std::vector<bool> replacedHeld(held.size(), false);
    for (const auto& summary : summaries) {
        if (!summary) continue;
        const auto& message = summary->mostRecentMessage();
        // A message read from a conversation item never replaces a stored one with its id.
        if (message && shouldPersist) tovrinPersistence_->saveDirectedMessages({message});
        ConversationSummaryWrapper wrapper(summary);
        const auto movedAt = movedByPeer.constFind(summary->profileID());
        const std::optional<size_t> heldAt =
            movedAt == movedByPeer.constEnd() ? heldIndexOf(summary->profileID()) : std::nullopt;
        if (movedAt != movedByPeer.constEnd() || heldAt) {
            const ConversationSummaryWrapper& current =
                movedAt != movedByPeer.constEnd() ? moved[*movedAt].wrapper : held[*heldAt];
            // An older summary keeps neither the row nor the stored counters, which are newer.
            if (compareConversationSummaryWrapper(wrapper, current) < 0) continue;
            if (movedAt != movedByPeer.constEnd()) {
                moved[*movedAt].wrapper = wrapper;
            } else {
                movedByPeer.insert(summary->profileID(), moved.size());
                moved.push_back({wrapper, summaries.size() + *heldAt});
                replacedHeld[*heldAt] = true;
            }
        } else {
            movedByPeer.insert(summary->profileID(), moved.size());
            moved.push_back({wrapper, addedCount++});
        }
        tovrinPersistence_->updateConversationForProfileID(summary->profileID(), summary->unread(),
                                                           summary->unreadPhoto());
    }

    // The held rows are sorted already: sorting the few moved ones and merging gives what a stable
    // sort of the whole sequence would, newest first.
    auto newerFirst = [](const ConversationSummaryWrapper& a, size_t aSequence,
                         const ConversationSummaryWrapper& b, size_t bSequence) {
        const int order = compareConversationSummaryWrapper(a, b);
        return order != 0 ? order > 0 : aSequence < bSequence;
    };
    std::sort(moved.begin(), moved.end(), [&](const Moved& a, const Moved& b) {
        return newerFirst(a.wrapper, a.sequence, b.wrapper, b.sequence);
    });
    auto next = std::make_shared<ConversationSummaryWrapperOrderedSet>();
    next->reserve(held.size() + size_t(addedCount));
    auto nextMoved = moved.begin();
    for (size_t index = 0; index < held.size(); ++index) {
        if (replacedHeld[index]) continue;
        while (nextMoved != moved.end() &&
               newerFirst(nextMoved->wrapper, nextMoved->sequence, held[index], summaries.size() + index))
            next->push_back((nextMoved++)->wrapper);
        next->push_back(held[index]);
    }
    for (; nextMoved != moved.end(); ++nextMoved) next->push_back(nextMoved->wrapper);
    summarySet_ = std::move(next);
}

void ConversationSummaryPresenter::removeConversationsWithUser(const QString& profileID) {
    auto next = std::make_shared<ConversationSummaryWrapperOrderedSet>();
    next->reserve(summarySet_->size());
    std::optional<quint32> removedAt;
    for (size_t index = 0; index < summarySet_->size(); ++index) {
        const ConversationSummaryWrapper& wrapper = (*summarySet_)[index];
        if (wrapper.profileID() == profileID) {
            removedAt = quint32(index);
        } else {
            next->push_back(wrapper);
        }
    }
    if (!removedAt) return;
    summarySet_ = std::move(next);
    if (const auto delegate = delegate_.lock())
        delegate->conversationSummaryPresenterDidChange(*this, *removedAt);
}

std::vector<std::shared_ptr<ConversationSummary>>
ConversationSummaryPresenter::filteredArrayFromConversationSummaries(
    const std::vector<std::shared_ptr<ConversationSummary>>& summaries) const {
    std::vector<std::shared_ptr<ConversationSummary>> kept;
    kept.reserve(summaries.size());
    for (const auto& summary : summaries) {
        if (summary &&
            !(blockedUserManager_ && blockedUserManager_->isProfileIDBlocked(summary->profileID())))
            kept.push_back(summary);
    }
    return kept;
}

void ConversationSummaryPresenter::tellDelegateOfChange() {
    if (const auto delegate = delegate_.lock()) delegate->conversationSummaryPresenterDidChange(*this);
}

}  // namespace tovrin
