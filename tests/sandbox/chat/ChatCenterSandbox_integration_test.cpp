#include <gtest/gtest.h>

#include "Authentication/SessionService.h"
#include "Chat/ChatCenter.h"
#include "platform/xmpp/XMPPStream.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/chat/ChatServer.h"
#include "sandbox/service/ServiceContext.h"

namespace tovrin {
namespace {

using test::runUntil;
using test::sandboxPatience;

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

    std::shared_ptr<ChatCenter> center;
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

}  // namespace
}  // namespace tovrin
