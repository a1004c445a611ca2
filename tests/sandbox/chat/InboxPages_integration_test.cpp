#include <QJsonArray>
#include <map>

#include "Blocked/BlockedUserManager.h"
#include "Chat/ConversationSummariesManager.h"
#include "Chat/CurrentConversationManager.h"
#include "Inbox/ConversationSummaryPresenter.h"
#include "Persistence/TovrinPersistence.h"
#include "sandbox/SandboxTestSupport.h"

namespace tovrin {
namespace {

using test::SandboxTest;

// The inbox of the signed-in client, paged from the sandbox's conversation list.
class InboxPagesTest : public SandboxTest {
protected:
    // The unread count of the conversation with the peer on the service; -1 while there is none.
    int unreadOnService(const QString& peerID) {
        const auto answer = answerOf(sendSignedIn(
            TovrinAPIRequest::GETRequestWithPath("/v3/me/conversations", URLQueryItems{{"quantity", "50"}})));
        for (const QJsonValue& item : answer.value("conversations").toArray()) {
            const QJsonObject object = item.toObject();
            if (object.value("profile").toObject().value("profileId").toVariant().toString() == peerID)
                return object.value("unread").toInt();
        }
        return -1;
    }

    std::shared_ptr<ConversationSummaryPresenter> presenterOfTheSession() {
        auto& injector = world->injector;
        return std::make_shared<ConversationSummaryPresenter>(
            injector.get<TovrinPersistence>(), injector.get<CurrentConversationManager>(),
            injector.get<BlockedUserManager>(),
            std::make_shared<ConversationSummariesFetcher>(injector.get<ConversationSummariesManager>()));
    }

    template <class T>
    static T settledValue(const Promise<T>& promise) {
        EXPECT_TRUE(test::waitFor(promise, test::sandboxPatience));
        EXPECT_TRUE(promise.isFulfilled());
        return promise.isFulfilled() ? *promise.value() : T{};
    }
};

TEST_F(InboxPagesTest, MessagesBetweenMembersPageIntoTheInboxWithTheirCounters) {
    const test::SignedInMember demo = signInAsDemoMember();
    auto send = [&](const QString& from, const QString& to, const QString& type) {
        const auto sent = admin("POST", "/admin/members/" + from + "/messages",
                                QJsonObject{{"to", to}, {"type", type}, {"text", "Hello from " + from}});
        EXPECT_EQ(sent.first, 200);
        return sent.second.value("messageId").toString();
    };
    send("100003", demo.profileID, "text");
    send("100003", demo.profileID, "text");
    const QString photo = send("100015", demo.profileID, "image");
    const QString reply = send(demo.profileID, "100004", "text");
    ASSERT_TRUE(test::runUntil(
        [&] {
            return unreadOnService("100003") == 2 && unreadOnService("100015") == 1 &&
                   unreadOnService("100004") == 0;
        },
        test::sandboxPatience));

    const auto presenter = presenterOfTheSession();
    const ConversationSummaryPresenterLoadResponse first = settledValue(presenter->loadNextPage());
    EXPECT_FALSE(first.persistenceFallBackInfo().didFallBackToPersistence());
    EXPECT_TRUE(first.hasMorePages());
    const ConversationSummaryWrapperArrayFacade rows = presenter->conversationSummaries();
    // Each member's messages travel on that member's own chat connection, so the order between
    // peers is the service's dates, not the order of sending.
    std::map<QString, std::shared_ptr<ConversationSummary>> byPeer;
    for (qsizetype index = 0; index < rows.count(); ++index) {
        byPeer[rows.objectAtIndex(index)->profileID()] = rows.objectAtIndex(index);
        if (index > 0)
            EXPECT_GE(rows.objectAtIndex(index - 1)->mostRecentMessage()->sentDate(),
                      rows.objectAtIndex(index)->mostRecentMessage()->sentDate());
    }
    ASSERT_TRUE(byPeer.count("100004") && byPeer.count("100015") && byPeer.count("100003"));
    EXPECT_EQ(byPeer["100004"]->mostRecentMessage()->messageID(), reply);
    EXPECT_EQ(byPeer["100004"]->mostRecentMessage()->status(), quint32(ChatMessageStatusSent));
    EXPECT_EQ(byPeer["100004"]->unread(), 0u);
    EXPECT_EQ(byPeer["100015"]->mostRecentMessage()->messageID(), photo);
    EXPECT_TRUE(byPeer["100015"]->unreadPhoto());
    EXPECT_EQ(byPeer["100015"]->unread(), 1u);
    EXPECT_EQ(byPeer["100003"]->unread(), 2u);
    EXPECT_FALSE(byPeer["100003"]->unreadPhoto());
    EXPECT_EQ(byPeer["100003"]->mostRecentMessage()->status(), quint32(ChatMessageStatusReceived));

    // Nothing lies beyond the window the first page covered.
    const ConversationSummaryPresenterLoadResponse next = settledValue(presenter->loadNextPage());
    EXPECT_FALSE(next.hasMorePages());
    EXPECT_EQ(presenter->conversationSummaries().count(), rows.count());
}

}  // namespace
}  // namespace tovrin
