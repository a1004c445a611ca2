#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "Authentication/SessionTestWorld.h"
#include "Chat/ChatCenter.h"
#include "fixtures/xmpp/ScriptedXMPPServer.h"
#include "platform/xmpp/XMPPStream.h"
#include "support/FakeTimerFactory.h"
#include "support/FixedRandomValueGenerator.h"
#include "support/ManualDeferredBlockExecutor.h"

namespace tovrin {
namespace {

using test::runUntil;
using test::ScriptedXMPPServer;
using test::SessionTestWorld;

class RecordingConnectorDelegate : public ChatConnectorDelegate {
public:
    void chatConnectorDidConnect(ChatConnector&) override { ++connected; }
    int connected = 0;
};

// The member's own container over the loopback web service, its chat client pointed at a scripted
// chat server; the throttler's timers, the background delays and the random value are the test's.
class ChatCenterTest : public testing::Test {
public:
    ChatCenterTest() {
        world.route("GET /v3/bootstrap", [this](const test::RecordedRequest&) {
            ++bootstrapRequests;
            if (failingBootstraps > 0) {
                --failingBootstraps;
                return test::ScriptedResponse::json(500, "{}");
            }
            return test::ScriptedResponse::json(200, chatBootstrapAnswer());
        });
        auto stream = std::make_shared<xmpp::XMPPStream>();
        server.configureClientStream(*stream);
        stream->setHostName(QString());
        stream->setMyJID(std::nullopt);
        world.injector.bindInstance<xmpp::XMPPStream>(stream);
        world.injector.bindInstance(world.notificationCenter);
        world.injector.bindInstance<TimerFactory>(timers);
        world.injector.bindInstance<DeferredBlockExecutor>(deferred);
        world.injector.bindInstance<RandomValueGenerator>(random);
        world.injector.bindFactory<net::Reachability>(
            [this](Injector&, const Arguments&) -> std::shared_ptr<net::Reachability> {
                return world.reachability;
            });
        world.application->setApplicationState(ApplicationState::Active);
        center = world.injector.get<ChatCenter>();
        center->setConnectorDelegate(connectorDelegate);
        observations.push_back(
            world.notificationCenter->addObserver(ChatCenterDidAuthenticateXMPPNotification, nullptr,
                                                  [this](const Notification&) { ++authenticated; }));
        observations.push_back(world.notificationCenter->addObserver(
            XMPPStreamDidDisconnectNotification, nullptr, [this](const Notification&) { ++disconnected; }));
    }

    ~ChatCenterTest() override {
        if (center) center->disconnect();
        world.finish();
    }

    QByteArray chatBootstrapAnswer() const {
        QJsonObject answer = QJsonDocument::fromJson(world.bootstrapAnswer()).object();
        QJsonObject services = answer["services"].toObject();
        services["chat"] = QJsonArray{QJsonObject{{"protocol", "xmpp"},
                                                  {"host", "127.0.0.1"},
                                                  {"port", 5222},
                                                  {"domain", ScriptedXMPPServer::domain}}};
        answer["services"] = services;
        return QJsonDocument(answer).toJson(QJsonDocument::Compact);
    }

    // The next sign-in the client sends on the open stream: its user name and password.
    std::pair<QString, QString> readSignIn() {
        const xmpp::XMLElement auth = server.nextElement();
        EXPECT_EQ(auth.name(), "auth");
        const QList<QByteArray> parts = QByteArray::fromBase64(auth.stringValue().toLatin1()).split('\0');
        if (parts.size() != 3) return {};
        return {QString::fromUtf8(parts[1]), QString::fromUtf8(parts[2])};
    }

    // From a new connection to the client's own sign-in, left unanswered.
    std::pair<QString, QString> connectionUntilSignIn() {
        EXPECT_TRUE(server.negotiateTLS(ScriptedXMPPServer::mechanismsFeatures({"PLAIN"})));
        return readSignIn();
    }

    testing::AssertionResult acceptSignIn() {
        server.inject(QStringLiteral("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>"));
        server.restartStream();
        if (!server.waitForStreamHeader()) return testing::AssertionFailure() << "no restart after sign-in";
        server.openStream(QStringLiteral("stream-3"));
        server.inject(
            QStringLiteral("<stream:features><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'/>"
                           "<sm xmlns='urn:xmpp:sm:3'/></stream:features>"));
        const xmpp::XMLElement bind = server.nextElement();
        if (bind.name() != QLatin1String("iq")) return testing::AssertionFailure() << "no binding";
        server.inject(
            QStringLiteral("<iq type='result' id='{id}'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'>"
                           "<jid>7@tovrin.test/r</jid></bind></iq>"));
        if (auto result = server.expect(QStringLiteral("<presence/>")); !result) return result;
        if (auto result = server.expect(QStringLiteral("<enable xmlns='urn:xmpp:sm:3'/>")); !result)
            return result;
        if (!runUntil([&] { return center->hasConnectedAndAuthenticatedSuccessfully(); }))
            return testing::AssertionFailure() << "the client never counted itself signed in";
        return testing::AssertionSuccess();
    }

    void refuseSignIn() {
        server.inject(
            QStringLiteral("<failure xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><not-authorized/></failure>"));
    }

    // A member signed in through the session, on the chat server with the session's chat token.
    void signInMember() {
        session = world.launchSignedIn("7", "token-0");
        EXPECT_EQ(connectionUntilSignIn(), std::make_pair(QStringLiteral("7"), QStringLiteral("xmpp-0")));
        ASSERT_TRUE(acceptSignIn());
    }

    SessionTestWorld world;
    ScriptedXMPPServer server;
    std::shared_ptr<test::FakeTimerFactory> timers = std::make_shared<test::FakeTimerFactory>();
    std::shared_ptr<test::ManualDeferredBlockExecutor> deferred =
        std::make_shared<test::ManualDeferredBlockExecutor>();
    std::shared_ptr<test::FixedRandomValueGenerator> random =
        std::make_shared<test::FixedRandomValueGenerator>();
    std::shared_ptr<RecordingConnectorDelegate> connectorDelegate =
        std::make_shared<RecordingConnectorDelegate>();
    std::shared_ptr<ChatCenter> center;
    std::shared_ptr<UserSession> session;
    std::vector<NotificationToken> observations;
    int bootstrapRequests = 0;
    int failingBootstraps = 0;
    int authenticated = 0;
    int disconnected = 0;
};

// One case of a table: a fresh world and chat server each.
class OneCase : public ChatCenterTest {
public:
    void TestBody() override {}
};

TEST_F(ChatCenterTest, TheMemberSignsInWithTheChatTokenAndTheServerIsLookedUpOncePerProcess) {
    signInMember();
    EXPECT_TRUE(center->isConnected());
    EXPECT_EQ(connectorDelegate->connected, 1);
    EXPECT_EQ(authenticated, 1);
    EXPECT_EQ(center->xmppStream()->hostName(), "127.0.0.1");
    EXPECT_EQ(center->xmppStream()->hostPort(), server.port());
    EXPECT_EQ(center->blockedUserManager(), session->blockedUserManager());
    EXPECT_NE(center->blockedUserManager(), nullptr);

    // Another member after a sign-out: straight to the stream with the domain learnt before.
    session->logout();
    ASSERT_TRUE(server.waitForDisconnection());
    EXPECT_FALSE(center->currentAuthToken());
    EXPECT_FALSE(center->currentUserProfileID());
    EXPECT_EQ(center->blockedUserManager(), nullptr);
    const int lookups = bootstrapRequests;
    center->connectToChatWithProfileID("8", "xmpp-8");
    EXPECT_EQ(connectionUntilSignIn(), std::make_pair(QStringLiteral("8"), QStringLiteral("xmpp-8")));
    EXPECT_EQ(bootstrapRequests, lookups);
    EXPECT_EQ(center->xmppStream()->myJID()->full(), "8@tovrin.test");
}

TEST_F(ChatCenterTest, ARejectedServerLookupIsRepeatedThroughTheThrottler) {
    failingBootstraps = 1;
    session = world.launchSignedIn("7", "token-0");
    EXPECT_EQ(connectionUntilSignIn(), std::make_pair(QStringLiteral("7"), QStringLiteral("xmpp-0")));
    EXPECT_EQ(center->chatDomain(), ScriptedXMPPServer::domain);
}

TEST(ChatCenter, ARefusedSignInRenewsTheSessionAndTheOutcomeDecidesWhatFollows) {
    struct Case {
        const char* name;
        test::ScriptedResponse renewal;
        // The password of the next sign-in on the same stream; empty: the stream is closed instead.
        QString nextPassword;
        bool banned;
        bool signedOut;
    };
    const Case cases[] = {
        {"renewed", SessionTestWorld::sessionResponse("7", "token-1", "xmpp-1"), "xmpp-1", false, false},
        {"banned", SessionTestWorld::errorResponse(403, 27), {}, true, false},
        {"invalid credentials", SessionTestWorld::errorResponse(401, 4), {}, false, true},
        {"server error", SessionTestWorld::errorResponse(500, 1), "xmpp-0", false, false},
        {"another member's answer",
         SessionTestWorld::sessionResponse("9", "token-1", "xmpp-1"),
         {},
         false,
         true},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        OneCase local;
        OneCase* fixture = &local;
        fixture->world.route("POST /v3/sessions", testCase.renewal);
        fixture->session = fixture->world.launchSignedIn("7", "token-0");
        EXPECT_EQ(fixture->connectionUntilSignIn().second, "xmpp-0");
        fixture->refuseSignIn();
        EXPECT_TRUE(fixture->world.waitForRequests(1));
        if (!testCase.nextPassword.isEmpty()) {
            EXPECT_EQ(fixture->readSignIn().second, testCase.nextPassword);
            EXPECT_EQ(fixture->server.connectionCount(), 1);
            EXPECT_TRUE(fixture->acceptSignIn());
        } else {
            EXPECT_TRUE(fixture->server.waitForDisconnection());
            EXPECT_TRUE(runUntil([&] { return fixture->disconnected > 0; }));
            test::drainMainQueue();
            // Nothing more is attempted.
            EXPECT_FALSE(fixture->center->shouldReconnectAfterDisconnection());
            EXPECT_TRUE(fixture->timers->scheduledTimers().empty());
            EXPECT_EQ(fixture->server.connectionCount(), 1);
        }
        EXPECT_EQ(fixture->center->isUserBannedFromSessionService(), testCase.banned);
        EXPECT_EQ(fixture->world.injector.get<UserDefaults>()
                      ->objectForKey(UserSessionProfileIDUserDefaultsKey)
                      .isValid(),
                  !testCase.signedOut);
    }
}

TEST(ChatCenter, AfterADisconnectAnAttemptWithoutATokenRenewsOnlyWithStoredCredentials) {
    for (const bool credentialsStored : {true, false}) {
        SCOPED_TRACE(credentialsStored);
        OneCase fixture;
        fixture.world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1", "xmpp-1"));
        fixture.signInMember();
        fixture.center->disconnect();
        ASSERT_TRUE(fixture.server.waitForDisconnection());
        if (!credentialsStored) fixture.world.injector.get<AuthStorage>()->removeStoredLoginCredentials();
        fixture.center->reconnect();
        test::drainMainQueue();
        if (credentialsStored) {
            EXPECT_TRUE(fixture.world.waitForRequests(1));
            EXPECT_EQ(fixture.connectionUntilSignIn().second, "xmpp-1");
        } else {
            fixture.world.settleAll();
            EXPECT_TRUE(fixture.world.requestsTo("POST /v3/sessions").isEmpty());
            EXPECT_EQ(fixture.server.connectionCount(), 1);
        }
    }
}

TEST_F(ChatCenterTest, AnAccidentalDisconnectionIsReportedTwiceAndReconnectsBySelf) {
    signInMember();
    server.dropConnection();
    EXPECT_EQ(connectionUntilSignIn().second, "xmpp-0");
    EXPECT_EQ(disconnected, 2);
    EXPECT_FALSE(center->hasConnectedAndAuthenticatedSuccessfully());
    EXPECT_TRUE(acceptSignIn());
    EXPECT_EQ(authenticated, 2);
}

TEST(ChatCenter, TheBackgroundDisconnectsUnlessActiveAgainAndEndsItsTaskOnce) {
    enum class Then { Nothing, RefuseTask, ActiveWithinTwoSeconds, Expire, ExpireAfterTheDelay };
    struct Case {
        const char* name;
        Then then;
        bool staysConnected;
    };
    const Case cases[] = {
        {"stays in the background", Then::Nothing, false},
        {"task refused", Then::RefuseTask, false},
        {"active again within 2 s", Then::ActiveWithinTwoSeconds, true},
        {"task expired first", Then::Expire, false},
        {"task expired after the disconnection", Then::ExpireAfterTheDelay, false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        OneCase fixture;
        fixture.signInMember();
        auto& application = *fixture.world.application;
        application.setRefusesBackgroundTasks(testCase.then == Then::RefuseTask);
        application.setApplicationState(ApplicationState::Background);
        EXPECT_FALSE(fixture.center->xmppStream()->isDisconnected() && testCase.then != Then::RefuseTask);
        switch (testCase.then) {
            case Then::RefuseTask:
                EXPECT_TRUE(fixture.deferred->isEmpty());
                break;
            case Then::ActiveWithinTwoSeconds:
                application.setApplicationState(ApplicationState::Active);
                break;
            case Then::Expire:
                application.expireBackgroundTasks();
                break;
            default:
                break;
        }
        if (!fixture.deferred->isEmpty()) {
            EXPECT_EQ(fixture.deferred->pendingDelays(), std::vector<double>{2.0});
            fixture.deferred->runNext();
        }
        if (testCase.then == Then::ExpireAfterTheDelay) application.expireBackgroundTasks();
        if (!fixture.deferred->isEmpty()) {
            EXPECT_EQ(fixture.deferred->pendingDelays(), std::vector<double>{1.0});
            EXPECT_EQ(application.backgroundTaskCount(),
                      testCase.then == Then::ExpireAfterTheDelay ? 0u : 1u);
            fixture.deferred->runNext();
        }
        EXPECT_TRUE(fixture.deferred->isEmpty());
        EXPECT_EQ(application.backgroundTaskCount(), 0u);
        if (testCase.staysConnected) {
            EXPECT_TRUE(fixture.server.expectNothing());
            EXPECT_TRUE(fixture.center->hasConnectedAndAuthenticatedSuccessfully());
        } else {
            EXPECT_TRUE(fixture.server.waitForDisconnection());
            EXPECT_TRUE(runUntil([&] { return fixture.disconnected > 0; }));
            // No reconnection from the background; the token stays for the foreground.
            EXPECT_TRUE(fixture.timers->scheduledTimers().empty());
            EXPECT_EQ(fixture.center->currentAuthToken(), "xmpp-0");
            EXPECT_EQ(fixture.server.connectionCount(), 1);
        }
    }
}

TEST_F(ChatCenterTest, TheForegroundConnectsAgainAndClearsTheBan) {
    world.route("POST /v3/sessions", SessionTestWorld::errorResponse(403, 27));
    session = world.launchSignedIn("7", "token-0");
    EXPECT_EQ(connectionUntilSignIn().second, "xmpp-0");
    refuseSignIn();
    ASSERT_TRUE(server.waitForDisconnection());
    ASSERT_TRUE(runUntil([&] { return center->isUserBannedFromSessionService(); }));
    world.reachability->setStatus(net::NetworkStatus::NotReachable);
    world.reachability->setStatus(net::NetworkStatus::ReachableViaWiFi);
    EXPECT_FALSE(server.expectNothing() && server.connectionCount() > 1);

    world.application->setApplicationState(ApplicationState::Background);
    world.application->setApplicationState(ApplicationState::Active);
    EXPECT_FALSE(center->isUserBannedFromSessionService());
    EXPECT_EQ(connectionUntilSignIn().second, "xmpp-0");
}

TEST_F(ChatCenterTest, ALaunchWithAStoredMemberHandsOverTheProfileID) {
    world.remember("ann@example.com", "secret", QStringLiteral("7"));
    session = world.launch();
    EXPECT_EQ(center->currentUserProfileID(), "7");
    EXPECT_FALSE(center->currentAuthToken());
}

}  // namespace
}  // namespace tovrin
