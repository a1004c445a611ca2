#include "Inbox/ConversationSummaryPresenter.h"

#include <gtest/gtest.h>

#include "Authentication/SessionTestWorld.h"
#include "Blocked/BlockedUserManager.h"
#include "Chat/ChatConversationDeletionMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "Chat/CurrentConversationManager.h"
#include "Inbox/InboxTestSupport.h"
#include "Persistence/TemporaryStore.h"

namespace tovrin {
namespace {

using test::await;
using test::conversationItem;
using test::conversationsAnswer;
using test::conversationsRequest;
using test::inboxDate;
using test::inboxMember;
using test::receivedPhoto;
using test::receivedText;
using test::sentText;
using test::SessionTestWorld;
using test::summaryAt;

class RecordingDelegate : public ConversationSummaryPresenterDelegate {
public:
    void conversationSummaryPresenterDidChange(ConversationSummaryPresenter&) override {
        events << "changed";
    }
    void conversationSummaryPresenterDidChange(ConversationSummaryPresenter&, quint32 index) override {
        events << QStringLiteral("removed %1").arg(index);
    }
    QStringList events;
};

class RecordingHandler : public MessageAcknowledgementHandler {
public:
    void addMessageToAcknowledgementPool(const std::shared_ptr<ChatMessage>& message) override {
        pooled << message->messageID();
    }
    QStringList pooled;
};

// The open chat screen's answer.
class ChattingWith : public CurrentConversationManagerDelegate {
public:
    explicit ChattingWith(QString peer) : peer_(std::move(peer)) {}
    bool currentConversationManager(const CurrentConversationManager&, const QString& profileID) override {
        return profileID == peer_;
    }

private:
    QString peer_;
};

class ConversationSummaryPresenterTest : public testing::Test {
protected:
    ConversationSummaryPresenterTest() {
        world.launchSignedIn(inboxMember, "token-0");
        store = world.injector.get<TovrinPersistence>();
        blocked = world.injector.get<BlockedUserManager>();
        presenter = std::make_shared<ConversationSummaryPresenter>(
            store, conversations, blocked,
            std::make_shared<ConversationSummariesFetcher>(
                world.injector.get<ConversationSummariesManager>()));
        presenter->setDelegate(delegate);
        presenter->setMessageAcknowledgementHandler(handler);
    }

    // Each row as "peer unread photo message".
    static QStringList rowsOf(const ConversationSummaryWrapperArrayFacade& summaries) {
        QStringList rows;
        for (qsizetype index = 0; index < summaries.count(); ++index) {
            const auto& summary = *summaries.objectAtIndex(index);
            rows << QStringLiteral("%1 %2 %3 %4")
                        .arg(summary.profileID())
                        .arg(summary.unread())
                        .arg(summary.unreadPhoto() ? "photo" : "-")
                        .arg(summary.mostRecentMessage() ? summary.mostRecentMessage()->messageID() : "none");
        }
        return rows;
    }
    QStringList rows() const { return rowsOf(presenter->conversationSummaries()); }

    // The store's counters per peer, "peer unread photo", newest first.
    QStringList storedCounters() {
        QStringList counters;
        for (const auto& summary : await(store->getConversationSummariesOlderThan(std::nullopt, 100)))
            counters << QStringLiteral("%1 %2 %3")
                            .arg(summary->profileID())
                            .arg(summary->unread())
                            .arg(summary->unreadPhoto() ? "photo" : "-");
        return counters;
    }

    SessionTestWorld world;
    std::shared_ptr<TovrinPersistence> store;
    std::shared_ptr<BlockedUserManager> blocked;
    std::shared_ptr<CurrentConversationManager> conversations =
        std::make_shared<CurrentConversationManager>();
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::shared_ptr<RecordingHandler> handler = std::make_shared<RecordingHandler>();
    std::shared_ptr<ConversationSummaryPresenter> presenter;
};

TEST_F(ConversationSummaryPresenterTest, LiveMessagesMoveTheirRowUpAndCountWhatTheMemberHasNotSeen) {
    auto chatScreen = std::make_shared<ChattingWith>("43");
    conversations->setDelegate(chatScreen);
    struct Step {
        const char* name;
        std::shared_ptr<ChatMessage> message;
        QStringList rows;
    };
    const Step steps[] = {
        {"a text from a new peer", receivedText("a", "41", inboxDate(1)), {"41 1 - a"}},
        {"a photo from a new peer", receivedPhoto("b", "42", inboxDate(2)), {"42 1 photo b", "41 1 - a"}},
        {"a second message", receivedText("c", "42", inboxDate(3)), {"42 2 photo c", "41 1 - a"}},
        {"the member's own to a new peer",
         sentText("d", "44", inboxDate(4)),
         {"44 0 - d", "42 2 photo c", "41 1 - a"}},
        {"one from the peer the member chats with",
         receivedText("e", "43", inboxDate(5)),
         {"43 0 - e", "44 0 - d", "42 2 photo c", "41 1 - a"}},
        {"the member's reply moves the row up, counters kept",
         sentText("f", "41", inboxDate(6)),
         {"41 1 - f", "43 0 - e", "44 0 - d", "42 2 photo c"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        delegate->events.clear();
        presenter->didReceiveNewChatMessage(step.message);
        EXPECT_EQ(rows(), step.rows);
        EXPECT_EQ(delegate->events, QStringList{"changed"});
    }
    EXPECT_TRUE(handler->pooled.isEmpty());
    EXPECT_EQ(storedCounters(), QStringList({"41 1 -", "43 0 -", "44 0 -", "42 2 photo"}));
}

TEST_F(ConversationSummaryPresenterTest, OnlyTheMembersOwnDisplayedMarkerClearsTheCounters) {
    struct Case {
        const char* name;
        quint32 type;
        QString originalRecipient;
        QString row;
    };
    const Case cases[] = {
        {"displayed by the member", ChatMessageAcknowledgementTypeDisplayed, inboxMember, "41 0 - m-41"},
        {"displayed by the peer", ChatMessageAcknowledgementTypeDisplayed, "41", "41 3 photo m-41"},
        {"received", ChatMessageAcknowledgementTypeReceived, inboxMember, "41 3 photo m-41"},
        {"by the server", ChatMessageAcknowledgementTypeServer, inboxMember, "41 3 photo m-41"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        presenter->updateWithFetchedConversationSummaries({summaryAt("41", inboxDate(1), 3, true)});
        delegate->events.clear();
        presenter->didReceiveAcknowledgement(
            ChatMessageAcknowledgement("m-41", "41", c.originalRecipient, c.type));
        EXPECT_EQ(rows(), QStringList{c.row});
        EXPECT_EQ(delegate->events, c.row.contains(" 0 ") ? QStringList{"changed"} : QStringList());
    }
    presenter->didReceiveAcknowledgement(
        ChatMessageAcknowledgement("x", "99", inboxMember, ChatMessageAcknowledgementTypeDisplayed));
    EXPECT_EQ(rows().size(), 1);
}

TEST_F(ConversationSummaryPresenterTest, AnOlderFetchedSummaryChangesNeitherTheRowNorTheStoredCounters) {
    presenter->didReceiveNewChatMessage(receivedText("new", "41", inboxDate(5)));
    presenter->didReceiveNewChatMessage(receivedText("newer", "41", inboxDate(6)));
    presenter->updateWithFetchedConversationSummaries({summaryAt("41", inboxDate(1), 9, true)});
    EXPECT_EQ(rows(), QStringList{"41 2 - newer"});
    EXPECT_EQ(storedCounters(), QStringList{"41 2 -"});

    // Equal dates replace.
    presenter->updateWithFetchedConversationSummaries(
        {std::make_shared<ConversationSummary>("41", 0, false, receivedText("newer", "41", inboxDate(6)))});
    EXPECT_EQ(rows(), QStringList{"41 0 - newer"});
    EXPECT_EQ(storedCounters(), QStringList{"41 0 -"});
}

TEST_F(ConversationSummaryPresenterTest, FetchedPagesLeaveBlockedPeersOutAndPoolEveryMostRecentMessage) {
    blocked->blockedByUserWithProfileID("66");
    blocked->blockedByUserWithProfileID("67");
    presenter->updateWithFetchedConversationSummaries(
        {summaryAt("66", inboxDate(1)), summaryAt("67", inboxDate(2))});
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(delegate->events.isEmpty());
    EXPECT_TRUE(handler->pooled.isEmpty());

    const auto own =
        std::make_shared<ConversationSummary>("42", 0, false, sentText("mine", "42", inboxDate(3)));
    const auto silent = std::make_shared<ConversationSummary>("43", 0, false, nullptr);
    presenter->updateWithFetchedConversationSummaries(
        {summaryAt("41", inboxDate(1)), summaryAt("66", inboxDate(4)), own, silent});
    EXPECT_EQ(rows(), QStringList({"42 0 - mine", "41 0 - m-41", "43 0 - none"}));
    EXPECT_EQ(delegate->events, QStringList{"changed"});
    EXPECT_EQ(handler->pooled, QStringList({"m-41", "mine"}));
    presenter->updateWithFetchedConversationSummaries({own});
    EXPECT_EQ(handler->pooled, QStringList({"m-41", "mine", "mine"}));
}

TEST_F(ConversationSummaryPresenterTest, RowsSortNewestFirstWithEqualDatesInTheirOrderAndNoMessageLast) {
    const auto silent = std::make_shared<ConversationSummary>("40", 0, false, nullptr);
    presenter->updateWithFetchedConversationSummaries({summaryAt("41", inboxDate(1)), silent,
                                                       summaryAt("42", inboxDate(2)),
                                                       summaryAt("43", inboxDate(2))});
    EXPECT_EQ(rows(), QStringList({"42 0 - m-42", "43 0 - m-43", "41 0 - m-41", "40 0 - none"}));
    presenter->updateWithFetchedConversationSummaries(
        {summaryAt("44", inboxDate(2)), summaryAt("45", inboxDate(0))});
    EXPECT_EQ(rows(), QStringList({"44 0 - m-44", "42 0 - m-42", "43 0 - m-43", "41 0 - m-41", "45 0 - m-45",
                                   "40 0 - none"}));
}

TEST_F(ConversationSummaryPresenterTest, RemovalsTellTheIndexAndArraysHandedOutKeepTheirRows) {
    for (int peer = 41; peer <= 45; ++peer)
        presenter->didReceiveNewChatMessage(
            sentText(QString::number(peer), QString::number(peer), inboxDate(peer)));
    const ConversationSummaryWrapperArrayFacade before = presenter->conversationSummaries();
    delegate->events.clear();
    struct Step {
        const char* name;
        std::function<void()> act;
        QStringList events;
        qsizetype rowsLeft;
    };
    const Step steps[] = {
        {"the third of five deleted",
         [&] { presenter->didReceiveChatConversationDeletion(ChatConversationDeletionMessage("x", "43")); },
         {"removed 2"},
         4},
        {"a deletion without row",
         [&] { presenter->didReceiveChatConversationDeletion(ChatConversationDeletionMessage("x", "43")); },
         {},
         4},
        {"a block", [&] { blocked->blockedByUserWithProfileID("45"); }, {"removed 0"}, 3},
        {"a block notification without id",
         [&] { NotificationCenter::defaultCenter()->post(BlockedUserManagerDidBlockUserNotification); },
         {},
         3},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        delegate->events.clear();
        step.act();
        EXPECT_EQ(delegate->events, step.events);
        EXPECT_EQ(presenter->conversationSummaries().count(), step.rowsLeft);
    }
    EXPECT_EQ(rows(), QStringList({"44 0 - 44", "42 0 - 42", "41 0 - 41"}));
    EXPECT_EQ(rowsOf(before), QStringList({"45 0 - 45", "44 0 - 44", "43 0 - 43", "42 0 - 42", "41 0 - 41"}));
    // The stored rows are the inbox's and the blocked-user manager's to remove, not the presenter's.
    EXPECT_EQ(storedCounters().size(), 5);
}

TEST_F(ConversationSummaryPresenterTest, PagesMergeAndReportWhetherMoreMayCome) {
    world.route(
        conversationsRequest,
        std::vector{conversationsAnswer({conversationItem("41", inboxDate(1), 2)}), conversationsAnswer({})});
    const auto first = await(presenter->loadNextPage());
    EXPECT_TRUE(first.hasMorePages());
    EXPECT_FALSE(first.persistenceFallBackInfo().didFallBackToPersistence());
    EXPECT_EQ(rows(), QStringList{"41 2 - m-41"});
    EXPECT_EQ(handler->pooled, QStringList{"m-41"});
    // The page's message is in the store with its counters.
    EXPECT_EQ(storedCounters(), QStringList{"41 2 -"});
    const auto last = await(presenter->loadNextPage());
    EXPECT_FALSE(last.hasMorePages());
    EXPECT_FALSE(presenter->canLoadNextPage());
}

TEST_F(ConversationSummaryPresenterTest, TheStoresFirstPageWritesCountersButNoMessages) {
    EXPECT_TRUE(await(store->saveDirectedMessages({receivedText("s", "41", inboxDate(1))})));
    EXPECT_TRUE(await(store->updateConversationForProfileID("41", 2, true)));
    const auto page = await(presenter->loadFirstPageFromPersistence());
    EXPECT_EQ(page.persistenceFallBackInfo().reason(), 3u);
    EXPECT_EQ(rows(), QStringList{"41 2 photo s"});
    EXPECT_EQ(handler->pooled, QStringList{"s"});
    EXPECT_EQ(storedCounters(), QStringList{"41 2 photo"});
}

TEST_F(ConversationSummaryPresenterTest, TheHandlerAndTheDelegateAreNotKeptAlive) {
    std::weak_ptr<RecordingHandler> weakHandler = handler;
    std::weak_ptr<RecordingDelegate> weakDelegate = delegate;
    handler.reset();
    delegate.reset();
    EXPECT_TRUE(weakHandler.expired());
    EXPECT_TRUE(weakDelegate.expired());
    presenter->updateWithFetchedConversationSummaries({summaryAt("41", inboxDate(1))});
    presenter->didReceiveChatConversationDeletion(ChatConversationDeletionMessage("x", "41"));
    EXPECT_TRUE(rows().isEmpty());
}

}  // namespace
}  // namespace tovrin
