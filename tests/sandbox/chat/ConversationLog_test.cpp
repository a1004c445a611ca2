#include "sandbox/chat/ConversationLog.h"

#include <gtest/gtest.h>

#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "sandbox/chat/ChatStanzas.h"

namespace tovrin::sandbox {
namespace {

const QString domain = QStringLiteral("tovrin.test");

// The log as the chat server reports what members send.
class ConversationLogTest : public testing::Test {
protected:
    QString send(const QString& from, const QString& to, const QString& type = "text",
                 const QString& body = "hi") {
        const QString id = QStringLiteral("m%1").arg(++count);
        xmpp::XMPPMessage message =
            ChatStanzas::chatMessage(id, from, to, domain, {type, body, 1000 + count});
        message.setFrom(*xmpp::XMPPJID::jidWithUser(from, domain, "phone"));
        log.record(message);
        return id;
    }

    void mark(const QString& from, const QString& to, void (*addMarker)(xmpp::XMPPMessage&, const QString&),
              const QString& id) {
        xmpp::XMPPMessage marker;
        marker.setFrom(*xmpp::XMPPJID::jidWithUser(from, domain, "phone"));
        marker.setTo(*xmpp::XMPPJID::jidWithUser(to, domain));
        addMarker(marker, id);
        log.record(marker);
    }

    void deleteMessages(const QString& member, const QString& peer, const QStringList& ids) {
        xmpp::XMPPMessage marker;
        marker.setFrom(*xmpp::XMPPJID::jidWithUser(member, domain, "phone"));
        marker.setTo(*xmpp::XMPPJID::jidWithUser(member, domain));
        xmpp::XMLElement deletion("delete", ChatStanzas::deletionMarkerNamespace);
        deletion.addAttributeWithName("jid", peer + "@" + domain);
        for (const QString& id : ids) deletion.addChild(xmpp::XMLElement::elementWithName("id", id));
        marker.addChild(deletion);
        log.record(marker);
    }

    static QStringList idsOf(const ConversationSummary& summary) {
        QStringList ids;
        for (const LoggedChatMessage& message : summary.lastMessages) ids << message.messageID;
        return ids;
    }

    ConversationLog log;
    qint64 count = 0;
};

TEST_F(ConversationLogTest, ConversationsComeNewestFirstWithTheirLastMessages) {
    const QString a1 = send("1", "2");
    send("3", "1");
    const QString a2 = send("2", "1");
    const QString a3 = send("1", "2", "image", R"({"imageHash":"h"})");
    const QString a4 = send("1", "2");
    const QList<ConversationSummary> conversations = log.conversationsFor("1");
    ASSERT_EQ(conversations.size(), 2);
    EXPECT_EQ(conversations[0].peerID, "2");
    EXPECT_EQ(idsOf(conversations[0]), QStringList({a4, a3, a2}));
    EXPECT_EQ(conversations[1].peerID, "3");
    EXPECT_EQ(log.lastMessageBetween("2", "1")->messageID, a4);
    EXPECT_EQ(log.peersOf("1"), QSet<QString>({"2", "3"}));
    Q_UNUSED(a1);
}

TEST_F(ConversationLogTest, MessagesAreUnreadUntilTheRecipientDisplaysThem) {
    const QString first = send("2", "1");
    const QString photo = send("2", "1", "image", R"({"imageHash":"h"})");
    send("1", "2");
    ConversationSummary summary = log.conversationsFor("1").first();
    EXPECT_EQ(summary.unread, 2u);
    EXPECT_TRUE(summary.unreadPhoto);
    EXPECT_EQ(log.conversationsFor("2").first().unread, 1u);

    mark("1", "2", &xmpp::addReceivedChatMarkerWithID, photo);
    EXPECT_EQ(log.conversationsFor("1").first().unread, 2u);
    mark("1", "2", &xmpp::addDisplayedChatMarkerWithID, first);
    summary = log.conversationsFor("1").first();
    EXPECT_EQ(summary.unread, 1u);
    EXPECT_TRUE(summary.unreadPhoto);
    mark("1", "2", &xmpp::addDisplayedChatMarkerWithID, photo);
    EXPECT_EQ(log.conversationsFor("1").first().unread, 0u);
    // Marking an older message again changes nothing.
    mark("1", "2", &xmpp::addDisplayedChatMarkerWithID, first);
    EXPECT_EQ(log.conversationsFor("1").first().unread, 0u);
}

TEST_F(ConversationLogTest, DeletionsAndClearedConversationsHideMessagesFromOneSideOnly) {
    const QString first = send("1", "2");
    const QString second = send("2", "1");
    const QString third = send("1", "2");
    deleteMessages("1", "2", {third});
    EXPECT_EQ(idsOf(log.conversationsFor("1").first()), QStringList({second, first}));
    EXPECT_EQ(idsOf(log.conversationsFor("2").first()), QStringList({third, second, first}));

    // A conversation-deletion marker from 2 clears 1's view up to the marked message.
    mark("2", "1", &xmpp::addAcknowledgedChatMarkerWithID, second);
    EXPECT_TRUE(log.conversationsFor("1").isEmpty());
    const QString later = send("2", "1");
    EXPECT_EQ(idsOf(log.conversationsFor("1").first()), QStringList({later}));
    EXPECT_EQ(log.conversationsFor("2").first().lastMessages.size(), 3);
}

TEST_F(ConversationLogTest, BlockMessagesRepeatsAndStrangersAreLeftOut) {
    send("1", "2", "block", "");
    EXPECT_TRUE(log.conversationsFor("2").isEmpty());
    const QString id = send("1", "2");
    xmpp::XMPPMessage again = ChatStanzas::chatMessage(id, "1", "2", domain, {"text", "again", 5});
    again.setFrom(*xmpp::XMPPJID::jidWithUser("1", domain));
    log.record(again);
    EXPECT_EQ(log.conversationsFor("2").first().lastMessages.first().body, "hi");
    send("1", "2", "sticker", "?");
    EXPECT_EQ(log.conversationsFor("2").first().lastMessages.size(), 1);

    log.forget("1");
    EXPECT_TRUE(log.conversationsFor("2").isEmpty());
}

}  // namespace
}  // namespace tovrin::sandbox
