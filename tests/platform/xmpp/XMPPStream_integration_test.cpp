#include <gtest/gtest.h>

#include "fixtures/xmpp/ScriptedXMPPServer.h"
#include "fixtures/xmpp/XMPPTestDoubles.h"
#include "platform/xmpp/Reconnect/XMPPReconnect.h"
#include "platform/xmpp/XEP-0004/XMPPDataForm.h"
#include "platform/xmpp/XEP-0059/XMPPResultSet.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagement.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagementMemoryStorage.h"
#include "platform/xmpp/XEP-0313/XMPPMessageArchiveManagement.h"
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

class ArchivedPages : public XMPPMessageArchiveManagementDelegate {
public:
    struct Page {
        QStringList bodies;
        std::optional<QString> oldestResultID;
        std::optional<QString> newestResultID;
    };
    void messageArchiveManagementDidReceiveMessages(XMPPMessageArchiveManagement&,
                                                    const QList<XMPPMessage>& messages, const XMPPResultSet&,
                                                    const QString& queryID, const XMPPResultSet&,
                                                    const std::optional<QString>& oldestResultID,
                                                    const std::optional<QString>& newestResultID,
                                                    quint32) override {
        Page page{{}, oldestResultID, newestResultID};
        for (const XMPPMessage& message : messages) page.bodies << message.body();
        pages.insert(queryID, page);
    }
    void messageArchiveManagementDidFailQuery(XMPPMessageArchiveManagement&, const QString& queryID,
                                              const Error& error) override {
        failures.insert(queryID, error);
    }
    QHash<QString, Page> pages;
    QHash<QString, Error> failures;
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
        // A disconnection ends once the server has closed its side (or after its time-out).
        runUntil([&] { return alice.stream->isDisconnected() && bob.stream->isDisconnected(); });
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
    // A stock archive keeps a bodyless message only when asked to.
    displayed.addChild(XMLElement(QStringLiteral("store"), QStringLiteral("urn:xmpp:hints")));
    bob.stream->sendElement(displayed);
    ASSERT_TRUE(runUntil([&] { return alice.acknowledgements->acknowledged.size() >= 2; }, 15000));
    ASSERT_TRUE(runUntil([&] { return alice.events->count("receivedMessage") >= 1; }, 15000));

    XMLElement query(QStringLiteral("query"), QStringLiteral("urn:xmpp:mam:0"));
    query.addAttributeWithName(QStringLiteral("queryid"), QStringLiteral("q1"));
    XMPPDataForm form = XMPPDataForm::formWithType(QStringLiteral("submit"));
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

TEST_F(XMPPIntegrationTest, TheArchiveModulePagesAHundredAndTwentyMessagesBackAndForward) {
    ASSERT_TRUE(alice.goOnline("secret"));
    auto archive = std::make_shared<XMPPMessageArchiveManagement>();
    auto archived = std::make_shared<ArchivedPages>();
    archive->addDelegate(archived, nullptr);
    ASSERT_TRUE(archive->activate(alice.stream));
    QStringList sent;
    for (int number = 1; number <= 120; ++number) {
        sent << QStringLiteral("message %1").arg(number);
        alice.stream->sendElement(alice.chatTo(bob, QStringLiteral("p%1").arg(number), sent.last()));
    }
    ASSERT_TRUE(runUntil([&] { return alice.acknowledgements->acknowledged.size() >= 120; }, 60000));

    const XMPPJID partner = bob.stream->myJID()->bareJID();
    auto page = [&](bool older, const QString& resultID) -> std::optional<ArchivedPages::Page> {
        const QString queryID =
            archive->queryMessagesForJID(partner, older,
                                         older ? XMPPResultSet::resultSetWithMaxBefore(50, resultID)
                                               : XMPPResultSet::resultSetWithMaxAfter(50, resultID));
        if (!runUntil(
                [&] { return archived->pages.contains(queryID) || archived->failures.contains(queryID); },
                15000))
            return std::nullopt;
        EXPECT_FALSE(archived->failures.contains(queryID));
        return archived->pages.value(queryID);
    };

    // Back from the newest, each page before the oldest of the last: 50, 50, then the last 20.
    QList<ArchivedPages::Page> back;
    QString before;
    for (int index = 0; index < 3; ++index) {
        const std::optional<ArchivedPages::Page> older = page(true, before);
        ASSERT_TRUE(older.has_value());
        back << *older;
        ASSERT_TRUE(older->oldestResultID.has_value());
        before = *older->oldestResultID;
    }
    EXPECT_EQ(back[0].bodies, sent.mid(70));
    EXPECT_EQ(back[1].bodies, sent.mid(20, 50));
    EXPECT_EQ(back[2].bodies, sent.mid(0, 20));
    const std::optional<ArchivedPages::Page> beyond = page(true, before);
    ASSERT_TRUE(beyond.has_value());
    EXPECT_TRUE(beyond->bodies.isEmpty());

    // Forward after the newest of the middle page: the newest page again, and after it nothing.
    const std::optional<ArchivedPages::Page> newer = page(false, *back[1].newestResultID);
    ASSERT_TRUE(newer.has_value());
    EXPECT_EQ(newer->bodies, sent.mid(70));
    EXPECT_EQ(newer->oldestResultID, back[0].oldestResultID);
    EXPECT_EQ(newer->newestResultID, back[0].newestResultID);
    const std::optional<ArchivedPages::Page> newest = page(false, *back[0].newestResultID);
    ASSERT_TRUE(newest.has_value());
    EXPECT_TRUE(newest->bodies.isEmpty());
    archive->deactivate();
}

// The sandbox's server no longer mends what a client sends: a form without a type is refused.
TEST_F(XMPPIntegrationTest, AStockArchiveRefusesAQueryFormWithoutAType) {
    ASSERT_TRUE(alice.goOnline("secret"));
    XMLElement query(QStringLiteral("query"), XMPPMessageArchiveManagementNamespace);
    query.addAttributeWithName(QStringLiteral("queryid"), QStringLiteral("untyped"));
    XMPPDataForm form = XMPPDataForm::formWithType(std::nullopt);
    form.addField(XMPPDataFormField::fieldWithVarStringValue("FORM_TYPE", "urn:xmpp:mam:0"));
    form.addField(XMPPDataFormField::fieldWithVarJidValue("with", bob.stream->myJID()->bareJID()));
    query.addChild(form);
    query.addChild(XMPPResultSet::resultSetWithMaxBefore(50, QString()));
    alice.stream->sendElement(XMPPIQ::iqWithType("set", "untyped-query", query));
    ASSERT_TRUE(runUntil(
        [&] {
            for (const XMLElement& iq : alice.events->all("receivedIQ")) {
                if (XMPPIQ(iq).elementID() == "untyped-query") return true;
            }
            return false;
        },
        15000));
    for (const XMLElement& iq : alice.events->all("receivedIQ")) {
        if (XMPPIQ(iq).elementID() == "untyped-query") EXPECT_TRUE(XMPPIQ(iq).isErrorIQ());
    }
}

// Closing waits for the server: everything sent just before arrives, and the server's last
// acknowledgement is read.
TEST_F(XMPPIntegrationTest, MessagesSentJustBeforeADisconnectionAllArrive) {
    ASSERT_TRUE(alice.goOnline("secret"));
    ASSERT_TRUE(bob.goOnline("secret"));
    for (int number = 1; number <= 30; ++number)
        alice.stream->sendElement(alice.chatTo(bob, QStringLiteral("d%1").arg(number), "text"));
    test::drainMainQueue();
    alice.stream->disconnect();
    ASSERT_TRUE(alice.events->waitFor("disconnected", 1, 15000));
    EXPECT_FALSE(alice.events->disconnectError.has_value());
    EXPECT_TRUE(bob.events->waitFor("receivedMessage", 30, 15000));
    test::drainMainQueue();
    EXPECT_EQ(alice.acknowledgements->acknowledged.size(), 30);
}

}  // namespace
}  // namespace tovrin::xmpp
