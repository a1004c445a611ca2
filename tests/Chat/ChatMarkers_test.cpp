#include "Chat/ChatMarkers.h"

#include <gtest/gtest.h>

#include "Chat/ChatConversationDeletionMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "platform/xmpp/XEP-0333/XMPPChatMarkerMessage.h"
#include "platform/xmpp/XMPPParser.h"

namespace tovrin {
namespace {

using xmpp::XMPPMessage;

const QString me = QStringLiteral("me");

XMPPMessage parse(const QString& xml) {
    return XMPPMessage(xmpp::XMPPParser::elementWithXMLString(xml));
}

QString marker(const QString& name, const QString& id) {
    return QStringLiteral("<%1 xmlns='urn:xmpp:chat-markers:0' id='%2'/>").arg(name, id);
}

TEST(ChatMarkers, ReadsTheMarkerOfTheLastChildInTheMarkersNamespace) {
    struct Case {
        const char* name;
        QString children;
        std::optional<QString> id;
        bool acknowledged = false;
        bool received = false;
    };
    const Case cases[] = {
        {"received", marker("received", "m1"), "m1", false, true},
        {"displayed", marker("displayed", "m1"), "m1"},
        {"acknowledged", marker("acknowledged", "m1"), "m1", true},
        {"last child's id", marker("received", "a") + marker("displayed", "b"), "b", false, true},
        {"a markable chat stanza", "<body>x</body><markable xmlns='urn:xmpp:chat-markers:0'/>", std::nullopt},
        {"an id before a markable", marker("received", "a") + "<markable xmlns='urn:xmpp:chat-markers:0'/>",
         std::nullopt, false, true},
        {"other elements after the marker", marker("displayed", "m1") + "<store xmlns='urn:xmpp:hints'/>",
         "m1"},
        {"no id", "<received xmlns='urn:xmpp:chat-markers:0'/>", std::nullopt, false, true},
        {"empty id", marker("received", ""), std::nullopt, false, true},
        {"another namespace", "<received xmlns='urn:xmpp:receipts' id='m1'/>", std::nullopt},
        {"nothing", "<body>x</body>", std::nullopt},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const XMPPMessage message = parse("<message>" + testCase.children + "</message>");
        EXPECT_EQ(ChatMarkers::markerID(message), testCase.id);
        EXPECT_EQ(ChatMarkers::carriesChatMarker(message), testCase.id.has_value());
        EXPECT_EQ(ChatMarkers::isAcknowledgedMarker(message), testCase.acknowledged);
        EXPECT_EQ(ChatMarkers::isReceivedMarker(message), testCase.received);
    }
}

TEST(ChatMarkers, TurnsAMarkerIntoAnAcknowledgementOrAConversationDeletionWithTheRightPartner) {
    struct Case {
        const char* name;
        QString addressing;
        QString children;
        // Acknowledgement type, or -1 for a conversation deletion.
        int type;
        QString partner;
        QString originalRecipient;
    };
    const QString fromPeer = "from='peer@tovrin.test/phone' to='me@tovrin.test'";
    const Case cases[] = {
        {"received from the peer", fromPeer, marker("received", "m1"), 1, "peer", "peer"},
        {"displayed from the peer", fromPeer, marker("displayed", "m1"), 2, "peer", "peer"},
        {"another marker name", fromPeer, marker("seen", "m1"), 2, "peer", "peer"},
        {"acknowledged from the peer", fromPeer, marker("acknowledged", "m1"), -1, "peer", {}},
        {"acknowledged besides received",
         fromPeer,
         marker("received", "m0") + marker("acknowledged", "m1"),
         -1,
         "peer",
         {}},
        {"the member's own, as sent", "to='peer@tovrin.test'", marker("received", "m1"), 1, "peer", "me"},
        {"the member's own from another device", "from='me@tovrin.test/tablet' to='peer@tovrin.test'",
         marker("displayed", "m1"), 2, "peer", "me"},
        {"the member's own acknowledged",
         "to='peer@tovrin.test'",
         marker("acknowledged", "m1"),
         -1,
         "peer",
         {}},
        {"from the server itself", "from='tovrin.test' to='peer@tovrin.test'", marker("received", "m1"), 1,
         "peer", "me"},
        {"the member's own to nobody", "", marker("received", "m1"), 1, "", "me"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const XMPPMessage message =
            parse("<message " + testCase.addressing + ">" + testCase.children + "</message>");
        const auto directed = ChatMarkers::directedMessageFromMarkableXMPPMessage(message, me);
        ASSERT_TRUE(directed);
        EXPECT_EQ(directed->exchangedInConversationWithProfileID(), testCase.partner);
        EXPECT_EQ(ChatMarkers::exchangedInConversationWithProfileID(message, me), testCase.partner);
        if (testCase.type < 0) {
            const auto* deletion = dynamic_cast<const ChatConversationDeletionMessage*>(directed.get());
            ASSERT_TRUE(deletion);
            EXPECT_EQ(deletion->deletionMessageID(), "m1");
            continue;
        }
        const auto* acknowledgement = dynamic_cast<const ChatMessageAcknowledgement*>(directed.get());
        ASSERT_TRUE(acknowledgement);
        EXPECT_EQ(acknowledgement->acknowledgedMessageID(), "m1");
        EXPECT_EQ(acknowledgement->type(), quint32(testCase.type));
        EXPECT_EQ(acknowledgement->originalMessageRecipientProfileID(), testCase.originalRecipient);
    }
}

TEST(ChatMarkers, AStanzaWithoutMarkerIdGivesNothing) {
    const QString stanzas[] = {
        "<message from='peer@tovrin.test' type='chat' id='m1'><body>{}</body>"
        "<markable xmlns='urn:xmpp:chat-markers:0'/></message>",
        "<message from='peer@tovrin.test'><displayed xmlns='urn:xmpp:chat-markers:0'/></message>",
        "<message from='peer@tovrin.test'/>",
    };
    for (const QString& stanza : stanzas) {
        EXPECT_FALSE(ChatMarkers::directedMessageFromMarkableXMPPMessage(parse(stanza), me))
            << stanza.toStdString();
    }
}

TEST(ChatMarkers, TheMarkerMessagesTheClientSendsReadBackAsItsOwnAcknowledgements) {
    const auto peer = *xmpp::XMPPJID::jidWithString("peer@tovrin.test");
    const std::pair<XMPPMessage, quint32> sent[] = {
        {xmpp::receivedChatMarkerMessage(peer, "m1"), ChatMessageAcknowledgementTypeReceived},
        {xmpp::displayedChatMarkerMessage(peer, "m1"), ChatMessageAcknowledgementTypeDisplayed},
    };
    for (const auto& [message, type] : sent) {
        const auto directed = ChatMarkers::directedMessageFromMarkableXMPPMessage(message, me);
        const auto* acknowledgement = dynamic_cast<const ChatMessageAcknowledgement*>(directed.get());
        ASSERT_TRUE(acknowledgement);
        EXPECT_EQ(acknowledgement->acknowledgedMessageID(), "m1");
        EXPECT_EQ(acknowledgement->type(), type);
        EXPECT_EQ(acknowledgement->exchangedInConversationWithProfileID(), "peer");
        EXPECT_EQ(acknowledgement->originalMessageRecipientProfileID(), "me");
    }
}

TEST(ChatMarkers, ADeletionMarkerBecomesADeletionOnlyWhenItNamesAPartner) {
    struct Case {
        const char* name;
        QString children;
        std::optional<QStringList> ids;
        QString partner;
    };
    const QString ns = "xmlns='urn:tovrin:delete-marker:0'";
    const Case cases[] = {
        {"two ids", "<delete " + ns + " jid='42@tovrin.test'><id>m1</id><id>m2</id></delete>",
         QStringList{"m1", "m2"}, "42"},
        {"with a resource", "<delete " + ns + " jid='42@tovrin.test/phone'><id>m1</id></delete>",
         QStringList{"m1"}, "42"},
        {"no ids", "<delete " + ns + " jid='42@tovrin.test'/>", QStringList{}, "42"},
        {"another element name", "<remove " + ns + " jid='42@tovrin.test'><id>m1</id></remove>",
         QStringList{"m1"}, "42"},
        {"no jid", "<delete " + ns + "><id>m1</id></delete>", std::nullopt, {}},
        {"a jid that is no address", "<delete " + ns + " jid='@'><id>m1</id></delete>", std::nullopt, {}},
        {"a jid without local part",
         "<delete " + ns + " jid='tovrin.test'><id>m1</id></delete>",
         std::nullopt,
         {}},
        {"not a deletion marker", "<delete jid='42@tovrin.test'><id>m1</id></delete>", std::nullopt, {}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const auto deletion = ChatMarkers::deletionFromXMPPMessage(
            parse("<message to='me@tovrin.test'>" + testCase.children + "</message>"));
        ASSERT_EQ(bool(deletion), testCase.ids.has_value());
        if (!deletion) continue;
        EXPECT_EQ(deletion->deletedMessageIDs(), *testCase.ids);
        EXPECT_EQ(deletion->exchangedInConversationWithProfileID(), testCase.partner);
    }
}

}  // namespace
}  // namespace tovrin
