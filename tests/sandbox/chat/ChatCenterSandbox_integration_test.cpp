#include <gtest/gtest.h>

#include "Authentication/SessionService.h"
#include "Chat/ChatCenter.h"
#include "Chat/ChatMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "Chat/ChatMessageSourceDelegate.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "platform/xmpp/XMPPStream.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/chat/ChatServer.h"
#include "sandbox/chat/ChatTestSupport.h"
#include "sandbox/service/ServiceContext.h"

namespace tovrin {
namespace {

using test::runUntil;
using test::sandboxPatience;

// The chat messages and acknowledgements the chat client reports: "message ID status", "ack ID partner
// recipient type".
class Reports : public ChatMessageSourceDelegate {
public:
    void messageSourceDidReceiveDirectedMessage(ChatMessageSource&,
                                                const std::shared_ptr<DirectedMessage>& message) override {
        if (const auto chat = std::dynamic_pointer_cast<ChatMessage>(message))
            lines.append(QStringLiteral("message %1 %2").arg(chat->messageID()).arg(chat->status()));
        if (const auto ack = std::dynamic_pointer_cast<ChatMessageAcknowledgement>(message))
            lines.append(QStringLiteral("ack %1 %2 %3 %4")
                             .arg(ack->acknowledgedMessageID(), ack->exchangedInConversationWithProfileID(),
                                  ack->originalMessageRecipientProfileID())
                             .arg(ack->type()));
    }
    void messageSourceDidReceiveArchivedDirectedMessages(ChatMessageSource&,
                                                         const std::vector<std::shared_ptr<DirectedMessage>>&,
                                                         const QString&, bool, const ArchiveMessageResultIDs&,
                                                         quint32) override {}
    void messageSourceDidReceivePersistedChatMessages(ChatMessageSource&,
                                                      const std::vector<std::shared_ptr<ChatMessage>>&,
                                                      const std::shared_ptr<Conversation>&) override {}
    QStringList lines;
};

// The client's own chat client against the sandbox's chat server, trusting the sandbox's authority
// through the client's configuration, as the sandbox's client is configured.
class ChatCenterSandboxTest : public test::SandboxTest {
protected:
    void launch() override {
        QVariantMap info = world->injector.get<Bundle>()->infoDictionary();
        info.insert(QStringLiteral("TovrinExtraTrustedCAFile"), sandbox::Sandbox::certificateAuthorityFile());
        world->injector.bindInstance(std::make_shared<Bundle>(info));
        world->launch();
        center = world->injector.get<ChatCenter>();
    }

    // The chat client outlives the member's objects only once told to forget the member.
    void TearDown() override {
        if (center) center->disconnect();
        center.reset();
        test::SandboxTest::TearDown();
    }

    bool waitUntilSignedIn() {
        return runUntil([&] { return center->hasConnectedAndAuthenticatedSuccessfully(); }, sandboxPatience);
    }

    // The chat server ends the member's sessions, as its administrator would.
    void kick(const QString& profileID) {
        const Promise<void> kicked = sandbox->context()->chat->closeSessions(profileID);
        ASSERT_TRUE(test::waitFor(kicked, sandboxPatience));
        ASSERT_TRUE(
            runUntil([&] { return !center->hasConnectedAndAuthenticatedSuccessfully(); }, sandboxPatience));
    }

    // A peer on a chat connection of its own, signed in and present.
    std::unique_ptr<test::ChatConnection> signInPeer() {
        const Promise<SessionInfo> peerSession =
            world->injector.get<SessionService>()->sessionEndpointPromiseForEmail(
                QStringLiteral("member100010@tovrin.test"), sandbox::WorldSeed::memberPassword);
        if (!test::waitFor(peerSession, sandboxPatience) || !peerSession.isFulfilled()) return nullptr;
        peerID_ = peerSession.value()->profileID();
        auto peer = std::make_unique<test::ChatConnection>(*sandbox, peerID_);
        if (!peer->signIn(peerSession.value()->credentials().xmppToken())) return nullptr;
        return peer;
    }

    std::shared_ptr<ChatCenter> center;
    QString peerID_;
};

TEST_F(ChatCenterSandboxTest, AKickAloneIsFollowedByReconnectionWithTheSameToken) {
    const test::SignedInMember demo = signInAsDemoMember();
    ASSERT_TRUE(waitUntilSignedIn());
    EXPECT_EQ(center->currentAuthToken(), demo.xmppToken);
    EXPECT_EQ(center->xmppStream()->hostName(), sandbox->chatHost());
    EXPECT_TRUE(center->xmppStream()->isSecure());
    kick(demo.profileID);
    EXPECT_TRUE(waitUntilSignedIn());
    EXPECT_EQ(center->currentAuthToken(), demo.xmppToken);
}

TEST_F(ChatCenterSandboxTest, AStaleTokenAfterAKickRenewsTheSessionAndSignsInAgain) {
    const test::SignedInMember demo = signInAsDemoMember();
    ASSERT_TRUE(waitUntilSignedIn());
    // The member signs in elsewhere: the token the client holds goes stale.
    const Promise<SessionInfo> elsewhere =
        world->injector.get<SessionService>()->sessionEndpointPromiseForEmail(
            sandbox::WorldSeed::demoEmail, sandbox::WorldSeed::memberPassword);
    ASSERT_TRUE(test::waitFor(elsewhere, sandboxPatience));
    ASSERT_TRUE(elsewhere.isFulfilled());
    kick(demo.profileID);
    ASSERT_TRUE(runUntil(
        [&] {
            return center->hasConnectedAndAuthenticatedSuccessfully() &&
                   center->currentAuthToken() != demo.xmppToken;
        },
        sandboxPatience));
    EXPECT_NE(center->currentAuthToken(), elsewhere.value()->credentials().xmppToken());
    EXPECT_FALSE(center->isUserBannedFromSessionService());
}

TEST_F(ChatCenterSandboxTest, ABanEndsTheAttempts) {
    const test::SignedInMember demo = signInAsDemoMember();
    ASSERT_TRUE(waitUntilSignedIn());
    EXPECT_EQ(admin("POST", "/admin/members/" + demo.profileID + "/ban").first, 200);
    ASSERT_TRUE(runUntil([&] { return center->isUserBannedFromSessionService(); }, sandboxPatience));
    EXPECT_TRUE(runUntil([&] { return center->xmppStream()->isDisconnected(); }, sandboxPatience));
    EXPECT_FALSE(center->shouldReconnectAfterDisconnection());
    EXPECT_FALSE(center->hasConnectedAndAuthenticatedSuccessfully());
}

TEST_F(ChatCenterSandboxTest, ATextReachesThePeerAndTheServerAcknowledgesIt) {
    const std::unique_ptr<test::ChatConnection> peer = signInPeer();
    ASSERT_TRUE(peer);
    const QString peerID = peerID_;

    const test::SignedInMember demo = signInAsDemoMember();
    ASSERT_TRUE(waitUntilSignedIn());
    const auto reports = std::make_shared<Reports>();
    center->setMessageSourceDelegate(reports);
    const QString id = center->sendMessageWithText("Hello there", peerID).elementID();
    const xmpp::XMLElement received = peer->waitForChatMessage(demo.profileID, "text");
    ASSERT_FALSE(received.isNull());
    EXPECT_EQ(xmpp::XMPPMessage(received).elementID(), id);
    EXPECT_EQ(test::chatBodyOf(received).value("body").toString(), "Hello there");
    ASSERT_TRUE(runUntil([&] { return reports->lines.size() >= 2; }, sandboxPatience));
    EXPECT_EQ(reports->lines,
              (QStringList{"message " + id + " 0", "ack " + id + " " + peerID + " " + peerID + " 0"}));
}

TEST_F(ChatCenterSandboxTest, ReceivedAndDisplayedMarkersRoundTrip) {
    const std::unique_ptr<test::ChatConnection> peer = signInPeer();
    ASSERT_TRUE(peer);
    const QString peerID = peerID_;
    const test::SignedInMember demo = signInAsDemoMember();
    ASSERT_TRUE(waitUntilSignedIn());
    const auto reports = std::make_shared<Reports>();
    center->setMessageSourceDelegate(reports);

    const QString incoming = peer->send(demo.profileID, "text", "Hi");
    ASSERT_TRUE(runUntil([&] { return reports->lines.size() >= 1; }, sandboxPatience));
    center->acknowledgeMessageWithID(incoming, peerID);
    const xmpp::XMLElement marker = peer->waitForMessage(
        [&](const xmpp::XMPPMessage& message) { return xmpp::chatMarkerID(message) == incoming; });
    ASSERT_FALSE(marker.isNull());
    EXPECT_FALSE(xmpp::XMPPMessage(marker).elementForName("received").isNull());

    const QString outgoing = center->sendMessageWithText("Hello", peerID).elementID();
    ASSERT_FALSE(peer->waitForChatMessage(demo.profileID, "text").isNull());
    // The server's acknowledgement first, so that the reports come in one order.
    ASSERT_TRUE(runUntil([&] { return reports->lines.size() >= 4; }, sandboxPatience));
    peer->markDisplayed(demo.profileID, outgoing);
    ASSERT_TRUE(runUntil([&] { return reports->lines.size() >= 5; }, sandboxPatience));
    EXPECT_EQ(reports->lines, (QStringList{"message " + incoming + " 2",
                                           "ack " + incoming + " " + peerID + " " + demo.profileID + " 1",
                                           "message " + outgoing + " 0",
                                           "ack " + outgoing + " " + peerID + " " + peerID + " 0",
                                           "ack " + outgoing + " " + peerID + " " + peerID + " 2"}));
}

}  // namespace
}  // namespace tovrin
