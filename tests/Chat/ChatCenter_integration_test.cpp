#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "Authentication/SessionTestWorld.h"
#include "Blocked/BlockedUserManager.h"
#include "Chat/ChatCenter.h"
#include "Chat/ChatConversationDeletionMessage.h"
#include "Chat/ChatMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "Chat/ChatMessageDeletion.h"
#include "Chat/ChatMessageSourceDelegate.h"
#include "Chat/TextMessage.h"
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

// What the chat client reports, one line each: "message ID status", "ack ID partner recipient
// type", "deletion partner IDS", "conversation-deletion ID partner".
class RecordingSourceDelegate : public ChatMessageSourceDelegate {
public:
    void messageSourceDidReceiveDirectedMessage(ChatMessageSource&,
                                                const std::shared_ptr<DirectedMessage>& message) override {
        if (const auto chat = std::dynamic_pointer_cast<ChatMessage>(message)) {
            reports.append(QStringLiteral("message %1 %2").arg(chat->messageID()).arg(chat->status()));
        } else if (const auto ack = std::dynamic_pointer_cast<ChatMessageAcknowledgement>(message)) {
            reports.append(QStringLiteral("ack %1 %2 %3 %4")
                               .arg(ack->acknowledgedMessageID(), ack->exchangedInConversationWithProfileID(),
                                    ack->originalMessageRecipientProfileID())
                               .arg(ack->type()));
        } else if (const auto deletion = std::dynamic_pointer_cast<ChatMessageDeletion>(message)) {
            reports.append(QStringLiteral("deletion %1 %2")
                               .arg(deletion->exchangedInConversationWithProfileID(),
                                    deletion->deletedMessageIDs().join(',')));
        } else if (const auto conversation =
                       std::dynamic_pointer_cast<ChatConversationDeletionMessage>(message)) {
            reports.append(QStringLiteral("conversation-deletion %1 %2")
                               .arg(conversation->deletionMessageID(),
                                    conversation->exchangedInConversationWithProfileID()));
        }
    }
    void messageSourceDidReceiveArchivedDirectedMessages(ChatMessageSource&,
                                                         const std::vector<std::shared_ptr<DirectedMessage>>&,
                                                         const QString&, bool, const ArchiveMessageResultIDs&,
                                                         quint32) override {}
    void messageSourceDidReceivePersistedChatMessages(ChatMessageSource&,
                                                      const std::vector<std::shared_ptr<ChatMessage>>&,
                                                      const std::shared_ptr<Conversation>&) override {}
    QStringList reports;
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
        center->setMessageSourceDelegate(sourceDelegate);
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
        server.inject(QStringLiteral("<enabled xmlns='urn:xmpp:sm:3'/>"));
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
    // The next stanza the client sends, past stream management's requests.
    xmpp::XMLElement nextStanza() {
        for (;;) {
            const xmpp::XMLElement element = server.nextElement();
            if (element.isNull() || element.name() != QLatin1String("r")) return element;
        }
    }
    bool waitForReports(qsizetype count) {
        return runUntil([&] { return sourceDelegate->reports.size() >= count; });
    }

    std::shared_ptr<RecordingSourceDelegate> sourceDelegate = std::make_shared<RecordingSourceDelegate>();
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

TEST_F(ChatCenterTest, OneServerAcknowledgementSettlesEveryIdItCovers) {
    signInMember();
    QStringList ids;
    for (const QString text : {"one", "two", "three"})
        ids.append(center->sendMessageWithText(text, "8").elementID());
    for (int index = 0; index < 3; ++index) {
        const xmpp::XMLElement stanza = nextStanza();
        EXPECT_EQ(stanza.name(), "message");
        EXPECT_EQ(stanza.attributeStringValueForName("to"), "8@tovrin.test");
        EXPECT_EQ(stanza.attributeStringValueForName("id"), ids[index]);
    }
    ASSERT_TRUE(waitForReports(3));
    server.inject(QStringLiteral("<a xmlns='urn:xmpp:sm:3' h='3'/>"));
    ASSERT_TRUE(waitForReports(6));
    QStringList expected;
    for (const QString& id : ids) expected.append("message " + id + " 0");
    for (const QString& id : ids) expected.append("ack " + id + " 8 8 0");
    EXPECT_EQ(sourceDelegate->reports, expected);
    EXPECT_TRUE(center->unacknowledgedChatMessages().isEmpty());
    EXPECT_FALSE(timers->hasTimerWithInterval(10.0));
}

TEST_F(ChatCenterTest, AWithheldAcknowledgementFailsTheMessageAfterTenSeconds) {
    signInMember();
    const QString id = center->sendMessageWithText("hello", "8").elementID();
    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(timers->fireTimersWithInterval(10.0), 1);
    EXPECT_EQ(sourceDelegate->reports, (QStringList{"message " + id + " 0", "message " + id + " 1"}));
    EXPECT_TRUE(center->unacknowledgedChatMessages().isEmpty());
}

TEST_F(ChatCenterTest, APhotoSentAgainUnderAPendingIdReplacesTheEarlierTimer) {
    signInMember();
    center->sendMessageWithImageMediaHash("photo-1", "hash", "8");
    center->sendMessageWithImageMediaHash("photo-1", "hash", "8");
    ASSERT_TRUE(waitForReports(2));
    EXPECT_EQ(timers->fireTimersWithInterval(10.0), 1);
    EXPECT_EQ(sourceDelegate->reports,
              (QStringList{"message photo-1 0", "message photo-1 0", "message photo-1 1"}));
}

TEST_F(ChatCenterTest, ABounceFailsOnlyThePendingStanzaOfItsId) {
    signInMember();
    const QString id = center->sendMessageWithText("hello", "404").elementID();
    ASSERT_TRUE(waitForReports(1));
    for (const QString& bounced : {QStringLiteral("unknown"), id}) {
        server.inject(
            QStringLiteral("<message type='error' id='%1' from='404@tovrin.test' to='7@tovrin.test/r'>"
                           "<body>{}</body><error type='cancel'><service-unavailable "
                           "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></message>")
                .arg(bounced));
    }
    ASSERT_TRUE(waitForReports(2));
    test::drainMainQueue();
    EXPECT_EQ(sourceDelegate->reports, (QStringList{"message " + id + " 0", "message " + id + " 1"}));
    EXPECT_FALSE(timers->hasTimerWithInterval(10.0));
}

TEST_F(ChatCenterTest, AChatStanzaHandedOverWhileDisconnectedFailsAtOnce) {
    signInMember();
    world.application->setRefusesBackgroundTasks(true);
    world.application->setApplicationState(ApplicationState::Background);
    ASSERT_TRUE(server.waitForDisconnection());
    ASSERT_TRUE(runUntil([&] { return center->xmppStream()->isDisconnected(); }));
    const QString id = center->sendMessageWithText("late", "8").elementID();
    center->acknowledgeMessageWithID("m", "8");
    ASSERT_TRUE(waitForReports(1));
    test::drainMainQueue();
    EXPECT_EQ(sourceDelegate->reports, QStringList{"message " + id + " 1"});
    EXPECT_FALSE(timers->hasTimerWithInterval(10.0));
}

TEST_F(ChatCenterTest, ReceivedStanzasBecomeMessagesMarkersAndOnlyTheMembersOwnDeletions) {
    signInMember();
    const QString body = QStringLiteral(
        R"({"messageId":"in-1","type":"text","body":"hi","sourceProfileId":"8","targetProfileId":"7","timestamp":1000})");
    server.inject(
        QStringLiteral("<message type='chat' id='in-1' from='8@tovrin.test/phone' to='7@tovrin.test'>"
                       "<body>%1</body><markable xmlns='urn:xmpp:chat-markers:0'/></message>")
            .arg(body.toHtmlEscaped()));
    server.inject(
        QStringLiteral("<message from='8@tovrin.test/phone' to='7@tovrin.test'>"
                       "<received xmlns='urn:xmpp:chat-markers:0' id='out-1'/></message>"));
    server.inject(
        QStringLiteral("<message from='8@tovrin.test/phone' to='7@tovrin.test'>"
                       "<acknowledged xmlns='urn:xmpp:chat-markers:0' id='out-2'/></message>"));
    // A peer's deletion marker, and one without "jid", count for nothing.
    server.inject(
        QStringLiteral("<message from='8@tovrin.test/phone' to='7@tovrin.test'>"
                       "<delete xmlns='urn:tovrin:delete-marker:0' jid='7@tovrin.test'><id>x</id></delete>"
                       "</message>"));
    server.inject(
        QStringLiteral("<message from='7@tovrin.test/tablet' to='7@tovrin.test'>"
                       "<delete xmlns='urn:tovrin:delete-marker:0'><id>y</id></delete></message>"));
    server.inject(
        QStringLiteral("<message from='7@tovrin.test/tablet' to='7@tovrin.test'>"
                       "<delete xmlns='urn:tovrin:delete-marker:0' jid='8@tovrin.test'><id>a</id><id>b</id>"
                       "</delete></message>"));
    ASSERT_TRUE(waitForReports(4));
    test::drainMainQueue();
    EXPECT_EQ(sourceDelegate->reports, (QStringList{"message in-1 2", "ack out-1 8 8 1",
                                                    "conversation-deletion out-2 8", "deletion 8 a,b"}));
}

TEST_F(ChatCenterTest, AChatStanzaOfABlockedPeerIsDroppedButItsBlockIsDelivered) {
    signInMember();
    const Promise<void> blocked = session->blockedUserManager()->blockUserWithProfileID("9");
    ASSERT_TRUE(test::waitFor(blocked));
    ASSERT_TRUE(blocked.isFulfilled());
    for (const char* type : {"text", "block"}) {
        const QString body =
            QStringLiteral(R"({"messageId":"%1","type":"%1","body":"hi","sourceProfileId":"9",)"
                           R"("targetProfileId":"7","timestamp":1000})")
                .arg(QLatin1String(type));
        server.inject(
            QStringLiteral("<message type='chat' id='%1' from='9@tovrin.test/phone' to='7@tovrin.test'>"
                           "<body>%2</body></message>")
                .arg(QLatin1String(type), body.toHtmlEscaped()));
    }
    ASSERT_TRUE(waitForReports(1));
    test::drainMainQueue();
    EXPECT_EQ(sourceDelegate->reports, QStringList{"message block 2"});
}

TEST_F(ChatCenterTest, MarkersAndDeletionsTheMemberSendsAreReportedAsSent) {
    signInMember();
    center->acknowledgeMessageWithID("in-1", "8");
    center->markMessageAsDisplayedWithID("in-1", "8");
    const auto sent = std::make_shared<TextMessage>("out-1", "7", "8", QStringLiteral("hello"), Date(1), 0);
    center->deleteMessages({sent}, "8");
    EXPECT_TRUE(
        server.expect(QStringLiteral("<message to='8@tovrin.test'><received xmlns='urn:xmpp:chat-markers:0' "
                                     "id='in-1'/><store xmlns='urn:xmpp:hints'/></message>")));
    ASSERT_TRUE(waitForReports(3));
    test::drainMainQueue();
    EXPECT_EQ(sourceDelegate->reports, (QStringList{"ack in-1 8 7 1", "ack in-1 8 7 2", "deletion 8 out-1"}));
    EXPECT_FALSE(timers->hasTimerWithInterval(10.0));
}

}  // namespace
}  // namespace tovrin
