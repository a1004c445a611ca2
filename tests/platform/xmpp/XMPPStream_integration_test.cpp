#include <gtest/gtest.h>

#include "fixtures/xmpp/ScriptedXMPPServer.h"
#include "fixtures/xmpp/XMPPTestDoubles.h"
#include "platform/xmpp/Reconnect/XMPPReconnect.h"
#include "platform/xmpp/XEP-0004/XMPPDataForm.h"
#include "platform/xmpp/XEP-0059/XMPPResultSet.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagement.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagementMemoryStorage.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "platform/xmpp/XMPPStream.h"
#include "sandbox/ejabberd/EjabberdServer.h"
#include "support/TestSupport.h"

namespace tovrin::xmpp {
namespace {

using test::runUntil;
using test::waitFor;

class Acknowledgements : public XMPPStreamManagementDelegate {
public:
    void xmppStreamManagementWasEnabled(XMPPStreamManagement&, const XMLElement&) override { enabled = true; }
    void xmppStreamManagementDidReceiveAckForStanzaIds(XMPPStreamManagement&,
                                                       const QStringList& ids) override {
        acknowledged += ids;
    }
    bool enabled = false;
    QStringList acknowledged;
};

class Accidents : public XMPPReconnectDelegate {
public:
    void xmppReconnectDidDetectAccidentalDisconnection(XMPPReconnect&) override { ++count; }
    int count = 0;
};

// One member's connection, set up as the chat engine sets up its own.
struct Client {
    Client(const sandbox::EjabberdServer& server, const QString& user) : server(server) {
        stream->setMyJID(XMPPJID::jidWithUser(user, server.domain(), QStringLiteral("phone")));
        stream->setTrustedCertificateAuthorities(test::testCertificateAuthority());
        stream->addDelegate(events, nullptr);
        streamManagement->automaticallyRequestAcksAfterStanzaCount(1, 5.0);
        streamManagement->addDelegate(acknowledgements, nullptr);
        streamManagement->activate(stream);
        reconnect->setAutoReconnect(false);
        reconnect->setReconnectDelay(0);
        reconnect->setReconnectTimerInterval(1.0);
        reconnect->addDelegate(accidents, nullptr);
        reconnect->activate(stream);
    }

    testing::AssertionResult connect() {
        const int connections = events->count("connected") + 1;
        // The server has its address once started.
        stream->setHostName(server.address());
        if (!stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone))
            return testing::AssertionFailure();
        if (!events->waitFor("connected", connections, 15000)) {
            const QString reason =
                events->disconnectError ? events->disconnectError->description() : QString();
            return testing::AssertionFailure() << "not connected: " << reason.toStdString();
        }
        return testing::AssertionSuccess();
    }

    testing::AssertionResult signIn(const QString& password) {
        const int signIns = events->count("authenticated") + 1;
        if (!stream->authenticateWithPassword(password))
            return testing::AssertionFailure() << "sign-in refused at once";
        if (!events->waitFor("authenticated", signIns, 15000))
            return testing::AssertionFailure() << "not signed in";
        return testing::AssertionSuccess();
    }

    // Signed in, present, with stream management on, as the chat client will be.
    testing::AssertionResult goOnline(const QString& password) {
        if (auto connected = connect(); !connected) return connected;
        if (auto signedIn = signIn(password); !signedIn) return signedIn;
        stream->sendElement(XMPPPresence());
        streamManagement->enableStreamManagementWithResumption(false, 0);
        // The server echoes the presence to its sender: from then on it routes to this resource.
        const bool ready = runUntil(
            [&] { return acknowledgements->enabled && events->count("receivedPresence") > 0; }, 15000);
        return ready ? testing::AssertionSuccess() : testing::AssertionFailure() << "no presence echo";
    }

    XMPPMessage chatTo(const Client& peer, const QString& id, const QString& text) const {
        XMPPMessage message = XMPPMessage::messageWithType("chat", peer.stream->myJID()->bareJID());
        message.setElementID(id);
        message.addBody(text);
        addMarkableChatMarker(message);
        return message;
    }

    const sandbox::EjabberdServer& server;
    std::shared_ptr<XMPPStream> stream = std::make_shared<XMPPStream>();
    std::shared_ptr<test::XMPPStreamRecorder> events = std::make_shared<test::XMPPStreamRecorder>();
    std::shared_ptr<XMPPStreamManagement> streamManagement =
        std::make_shared<XMPPStreamManagement>(std::make_shared<XMPPStreamManagementMemoryStorage>());
    std::shared_ptr<Acknowledgements> acknowledgements = std::make_shared<Acknowledgements>();
    std::shared_ptr<XMPPReconnect> reconnect = std::make_shared<XMPPReconnect>();
    std::shared_ptr<Accidents> accidents = std::make_shared<Accidents>();
};

class XMPPIntegrationTest : public testing::Test {
protected:
    void SetUp() override {
        Promise<void> started = server.start();
        ASSERT_TRUE(waitFor(started, 60000));
        ASSERT_TRUE(started.isFulfilled()) << started.error()->description().toStdString();
        for (const char* user : {"alice", "bob"}) {
            Promise<void> created = server.createAccount(QString::fromLatin1(user), "secret");
            ASSERT_TRUE(waitFor(created));
            ASSERT_TRUE(created.isFulfilled()) << created.error()->description().toStdString();
        }
    }

    // Pending deliveries hold the streams; they end while the application object still exists.
    void TearDown() override {
        alice.stream->disconnect();
        bob.stream->disconnect();
        test::drainMainQueue();
    }

    sandbox::EjabberdServer server{QStringLiteral("tovrin.test"), test::testServerCertificateChain()};
    Client alice{server, "alice"};
    Client bob{server, "bob"};
};

TEST_F(XMPPIntegrationTest, TwoMembersSignInWithSCRAMOverSTARTTLSAndChat) {
    ASSERT_TRUE(alice.goOnline("secret"));
    ASSERT_TRUE(bob.goOnline("secret"));
    EXPECT_TRUE(alice.stream->isSecure());
    const QList<XMLElement> sent = alice.events->all("sentCustom");
    const bool usedSCRAM = std::any_of(sent.begin(), sent.end(), [](const XMLElement& element) {
        return element.name() == "auth" && element.attributeStringValueForName("mechanism") == "SCRAM-SHA-1";
    });
    EXPECT_TRUE(usedSCRAM);
    EXPECT_EQ(alice.stream->myJID()->full(), "alice@tovrin.test/phone");

    alice.stream->sendElement(alice.chatTo(bob, "m1", "hello & welcome"));
    ASSERT_TRUE(bob.events->waitFor("receivedMessage", 1, 15000));
    const XMPPMessage received(bob.events->last("receivedMessage"));
    EXPECT_EQ(received.body(), "hello & welcome");
    EXPECT_EQ(received.elementID(), "m1");
    EXPECT_EQ(received.from()->bare(), "alice@tovrin.test");
    EXPECT_TRUE(hasMarkableChatMarker(received));

    XMPPMessage marker;
    marker.setTo(alice.stream->myJID()->bareJID());
    addReceivedChatMarkerWithID(marker, "m1");
    bob.stream->sendElement(marker);
    ASSERT_TRUE(runUntil(
        [&] {
            for (const XMLElement& message : alice.events->all("receivedMessage")) {
                if (chatMarkerID(XMPPMessage(message)) == "m1") return true;
            }
            return false;
        },
        15000));
}

TEST_F(XMPPIntegrationTest, ARefusedSignInIsFollowedByASecondOnTheSameStream) {
    ASSERT_TRUE(alice.connect());
    ASSERT_TRUE(alice.stream->authenticateWithPassword("wrong"));
    ASSERT_TRUE(alice.events->waitFor("notAuthenticated", 1, 15000));
    EXPECT_TRUE(alice.stream->isConnected());
    ASSERT_TRUE(alice.signIn("secret"));
    EXPECT_EQ(alice.events->count("connected"), 1);
    EXPECT_EQ(alice.events->count("disconnected"), 0);
}

TEST_F(XMPPIntegrationTest, ASignInWithAPasswordSetThroughTheAdminInterfaceWorks) {
    Promise<void> changed = server.setPassword("alice", "renewed");
    ASSERT_TRUE(waitFor(changed));
    ASSERT_TRUE(changed.isFulfilled()) << changed.error()->description().toStdString();
    ASSERT_TRUE(alice.connect());
    ASSERT_TRUE(alice.signIn("renewed"));
}

TEST_F(XMPPIntegrationTest, TheServersAcknowledgementsMapToTheSentIds) {
    ASSERT_TRUE(alice.goOnline("secret"));
    ASSERT_TRUE(bob.goOnline("secret"));
    const QStringList ids = {"a1", "a2", "a3"};
    for (const QString& id : ids) alice.stream->sendElement(alice.chatTo(bob, id, "text " + id));
    ASSERT_TRUE(runUntil([&] { return alice.acknowledgements->acknowledged.size() >= ids.size(); }, 15000));
    EXPECT_EQ(alice.acknowledgements->acknowledged, ids);
    ASSERT_TRUE(bob.events->waitFor("receivedMessage", 3, 15000));
}

TEST_F(XMPPIntegrationTest, AForcedDisconnectionIsReportedOnceAndReconnectedAutomatically) {
    ASSERT_TRUE(alice.goOnline("secret"));
    alice.reconnect->setAutoReconnect(true);
    ASSERT_TRUE(waitFor(server.kickSession("alice", "phone")));
    ASSERT_TRUE(alice.events->waitFor("connected", 2, 30000));
    EXPECT_EQ(alice.accidents->count, 1);
    EXPECT_EQ(alice.events->count("disconnected"), 1);
    EXPECT_TRUE(alice.signIn("secret"));
}

TEST_F(XMPPIntegrationTest, TheArchiveAnswersALegacyQueryWithResultsAndAnEndMessage) {
    ASSERT_TRUE(alice.goOnline("secret"));
    ASSERT_TRUE(bob.goOnline("secret"));
    alice.stream->sendElement(alice.chatTo(bob, "h1", "first"));
    alice.stream->sendElement(alice.chatTo(bob, "h2", "second"));
    ASSERT_TRUE(bob.events->waitFor("receivedMessage", 2, 15000));
    XMPPMessage displayed;
    displayed.setTo(alice.stream->myJID()->bareJID());
    addDisplayedChatMarkerWithID(displayed, "h2");
    bob.stream->sendElement(displayed);
    ASSERT_TRUE(runUntil([&] { return alice.acknowledgements->acknowledged.size() >= 2; }, 15000));
    ASSERT_TRUE(runUntil([&] { return alice.events->count("receivedMessage") >= 1; }, 15000));

    XMLElement query(QStringLiteral("query"), QStringLiteral("urn:xmpp:mam:0"));
    query.addAttributeWithName(QStringLiteral("queryid"), QStringLiteral("q1"));
    // As the chat engine asks: the form has no type (the sandbox's module accepts that).
    XMPPDataForm form = XMPPDataForm::formWithType(std::nullopt);
    form.addField(XMPPDataFormField::fieldWithVarStringValue("FORM_TYPE", "urn:xmpp:mam:0"));
    form.addField(XMPPDataFormField::fieldWithVarJidValue("with", bob.stream->myJID()->bareJID()));
    query.addChild(form);
    query.addChild(XMPPResultSet::resultSetWithMaxBefore(50, QString()));
    alice.stream->sendElement(XMPPIQ::iqWithType("set", XMPPStream::generateUUID(), query));

    auto finMessage = [&] {
        for (const XMLElement& message : alice.events->all("receivedMessage")) {
            if (!message.elementForName("fin").isNull()) return message;
        }
        return XMLElement();
    };
    ASSERT_TRUE(runUntil([&] { return !finMessage().isNull(); }, 15000));
    QStringList archived;
    for (const XMLElement& message : alice.events->all("receivedMessage")) {
        const XMLElement result = message.elementForName("result", "urn:xmpp:mam:0");
        if (result.isNull()) continue;
        EXPECT_EQ(result.attributeStringValueForName("queryid"), "q1");
        const XMPPMessage forwarded(result.elementForName("forwarded").elementForName("message"));
        archived << (forwarded.isMessageWithBody() ? forwarded.body() : "marker " + chatMarkerID(forwarded));
    }
    EXPECT_EQ(archived, QStringList({"first", "second", "marker h2"}));
    const XMLElement fin = finMessage().elementForName("fin");
    EXPECT_EQ(fin.attributeStringValueForName("queryid"), "q1");
    EXPECT_EQ(XMPPResultSet(fin.elementForName("set")).count(), 3);
}

TEST_F(XMPPIntegrationTest, TheAdminInterfaceSendsAStanzaOnAMembersBehalf) {
    ASSERT_TRUE(bob.goOnline("secret"));
    Promise<void> sent = server.sendStanza("alice@tovrin.test", "bob@tovrin.test",
                                           "<message type='chat' id='s1'><body>from the sandbox</body>"
                                           "<store xmlns='urn:xmpp:hints'/></message>");
    ASSERT_TRUE(waitFor(sent));
    ASSERT_TRUE(sent.isFulfilled()) << sent.error()->description().toStdString();
    ASSERT_TRUE(bob.events->waitFor("receivedMessage", 1, 15000));
    EXPECT_EQ(XMPPMessage(bob.events->last("receivedMessage")).body(), "from the sandbox");
}

}  // namespace
}  // namespace tovrin::xmpp
