#include <gtest/gtest.h>

#include "fixtures/xmpp/ScriptedXMPPServer.h"
#include "fixtures/xmpp/XMPPTestDoubles.h"
#include "platform/xmpp/TovrinDeletion/XMPPMessage+TovrinDeletion.h"
#include "platform/xmpp/XEP-0333/XMPPChatMarkerMessage.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "platform/xmpp/XEP-0334/XMPPMessage+ProcessingHints.h"
#include "platform/xmpp/XMPPParser.h"
#include "platform/xmpp/XMPPStream.h"

namespace tovrin::xmpp {
namespace {

using test::ScriptedXMPPServer;

const XMPPJID own = *XMPPJID::jidWithString("7@tovrin.test");
const XMPPJID partner = *XMPPJID::jidWithString("42@tovrin.test");

XMPPMessage parse(const QString& xml) {
    return XMPPMessage(XMPPParser::elementWithXMLString(xml));
}

TEST(DeletionMarker, BuildsAMessageToTheOwnAddressListingTheIdsInOrder) {
    EXPECT_EQ(messageWithDeletionMarkersForMessageIDs({"m2", "m1"}, own, partner).compactXMLString(),
              "<message to=\"7@tovrin.test\"><delete xmlns=\"urn:tovrin:delete-marker:0\" "
              "jid=\"42@tovrin.test\"><id>m2</id><id>m1</id></delete></message>");
    const XMPPMessage empty = messageWithDeletionMarkersForMessageIDs({}, own, partner);
    EXPECT_EQ(empty.compactXMLString(),
              "<message to=\"7@tovrin.test\"><delete xmlns=\"urn:tovrin:delete-marker:0\" "
              "jid=\"42@tovrin.test\"/></message>");
    EXPECT_TRUE(isDeletionMessage(empty));
    EXPECT_TRUE(deletedMessageIDs(empty).isEmpty());
    EXPECT_EQ(deletedMessageTargetUserJID(empty), partner);
}

TEST(DeletionMarker, ReadsTheFirstElementInItsNamespaceWhateverItsName) {
    struct Case {
        const char* name;
        QString children;
        bool isDeletion;
        QStringList ids;
        std::optional<XMPPJID> target;
    };
    const QString ns = "xmlns='urn:tovrin:delete-marker:0'";
    const Case cases[] = {
        {"ids in document order",
         "<delete " + ns + " jid='42@tovrin.test'><id>b</id><id>a</id></delete>",
         true,
         {"b", "a"},
         partner},
        {"other children skipped",
         "<delete " + ns + " jid='42@tovrin.test'><id>a</id><note>x</note><id>b</id></delete>",
         true,
         {"a", "b"},
         partner},
        {"another element name",
         "<remove " + ns + " jid='42@tovrin.test'><id>a</id></remove>",
         true,
         {"a"},
         partner},
        {"no jid", "<delete " + ns + "><id>a</id></delete>", true, {"a"}, std::nullopt},
        {"a jid that is no address",
         "<delete " + ns + " jid=''><id>a</id></delete>",
         true,
         {"a"},
         std::nullopt},
        {"the first of two",
         "<body>x</body><delete " + ns + " jid='42@tovrin.test'><id>a</id></delete><delete " + ns +
             " jid='9@tovrin.test'><id>z</id></delete>",
         true,
         {"a"},
         partner},
        {"another namespace",
         "<delete xmlns='urn:other' jid='42@tovrin.test'><id>a</id></delete>",
         false,
         {},
         std::nullopt},
        {"nothing", "<body>x</body>", false, {}, std::nullopt},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const XMPPMessage message = parse("<message>" + testCase.children + "</message>");
        EXPECT_EQ(isDeletionMessage(message), testCase.isDeletion);
        EXPECT_EQ(deletionMarkerElement(message).isNull(), !testCase.isDeletion);
        EXPECT_EQ(deletedMessageIDs(message), testCase.ids);
        EXPECT_EQ(deletedMessageTargetUserJID(message), testCase.target);
    }
}

TEST(ChatMarkerMessage, CarriesOnlyTheMarkerAndAStoreHint) {
    EXPECT_EQ(receivedChatMarkerMessage(partner, "m1").compactXMLString(),
              "<message to=\"42@tovrin.test\"><received xmlns=\"urn:xmpp:chat-markers:0\" id=\"m1\"/>"
              "<store xmlns=\"urn:xmpp:hints\"/></message>");
    const XMPPMessage displayed = displayedChatMarkerMessage(partner, "m2");
    EXPECT_EQ(displayed.compactXMLString(),
              "<message to=\"42@tovrin.test\"><displayed xmlns=\"urn:xmpp:chat-markers:0\" id=\"m2\"/>"
              "<store xmlns=\"urn:xmpp:hints\"/></message>");
    EXPECT_EQ(chatMarkerID(displayed), "m2");
    XMPPMessage hinted = displayed;
    addStoreHint(hinted);
    EXPECT_EQ(hinted.elementsForXmlns(XMPPProcessingHintsNamespace).size(), 1);
    EXPECT_FALSE(hasStoreHint(parse("<message><store/></message>")));
}

// What the server reads of each outgoing kind, through a signed-in stream.
TEST(ChatStanzasOnTheWire, MarkersAndDeletionMarkersReachTheServerAsBuilt) {
    ScriptedXMPPServer server;
    test::ManualTimers timers;
    auto stream = std::make_shared<XMPPStream>(timers.source());
    auto recorder = std::make_shared<test::XMPPStreamRecorder>();
    server.configureClientStream(*stream);
    stream->addDelegate(recorder, nullptr);
    ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
    ASSERT_TRUE(server.negotiateTLS(ScriptedXMPPServer::mechanismsFeatures({"PLAIN"})));
    ASSERT_TRUE(recorder->waitFor("connected"));
    ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("secret")));
    ASSERT_TRUE(server.acceptPlainSignInAndBind());
    ASSERT_TRUE(recorder->waitFor("authenticated"));

    const std::pair<XMPPMessage, QString> sent[] = {
        {receivedChatMarkerMessage(partner, "m1"),
         "<message to='42@tovrin.test'><received xmlns='urn:xmpp:chat-markers:0' id='m1'/>"
         "<store xmlns='urn:xmpp:hints'/></message>"},
        {displayedChatMarkerMessage(partner, "m1"),
         "<message to='42@tovrin.test'><displayed xmlns='urn:xmpp:chat-markers:0' id='m1'/>"
         "<store xmlns='urn:xmpp:hints'/></message>"},
        {messageWithDeletionMarkersForMessageIDs({"m1", "m2"}, own, partner),
         "<message to='7@tovrin.test'><delete xmlns='urn:tovrin:delete-marker:0' jid='42@tovrin.test'>"
         "<id xmlns='urn:tovrin:delete-marker:0'>m1</id><id "
         "xmlns='urn:tovrin:delete-marker:0'>m2</id></delete>"
         "</message>"},
    };
    for (const auto& [message, expected] : sent) {
        stream->sendElement(message);
        EXPECT_TRUE(server.expect(expected)) << expected.toStdString();
    }
}

}  // namespace
}  // namespace tovrin::xmpp
