#include "platform/xmpp/XEP-0198/XMPPStreamManagement.h"

#include <gtest/gtest.h>

#include "fixtures/xmpp/ScriptedXMPPServer.h"
#include "fixtures/xmpp/XMPPTestDoubles.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagementMemoryStorage.h"
#include "platform/xmpp/XMPPStream.h"
#include "support/TestSupport.h"

namespace tovrin::xmpp {
namespace {

using test::ScriptedXMPPServer;

TEST(XMPPStanzaAcknowledgementQueue, SettlesEveryStanzaAnAcknowledgementCovers) {
    XMPPStanzaAcknowledgementQueue queue;
    queue.stanzaWasSent(QStringLiteral("m1"));
    queue.stanzaWasSent(std::nullopt);
    queue.stanzaWasSent(QStringLiteral("m3"));
    queue.stanzaWasSent(QStringLiteral("m4"));
    EXPECT_EQ(queue.acknowledge(3), QStringList({"m1", "m3"}));
    EXPECT_EQ(queue.acknowledge(3), QStringList());
    EXPECT_EQ(queue.acknowledge(4), QStringList({"m4"}));
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST(XMPPStanzaAcknowledgementQueue, CountsOnPastTheLargest32BitNumber) {
    struct Case {
        quint32 start;
        quint32 h;
        QStringList settled;
    };
    const QList<Case> cases = {
        {0xFFFFFFFEu, 0xFFFFFFFFu, {"a"}},       {0xFFFFFFFEu, 0u, {"a", "b"}},
        {0xFFFFFFFEu, 2u, {"a", "b", "c", "d"}}, {0xFFFFFFFFu, 1u, {"a", "b"}},
        {0xFFFFFFFEu, 0xFFFFFFFEu, {}},
    };
    for (const Case& testCase : cases) {
        XMPPStanzaAcknowledgementQueue queue(testCase.start);
        for (const char* id : {"a", "b", "c", "d"}) queue.stanzaWasSent(QString::fromLatin1(id));
        EXPECT_EQ(queue.acknowledge(testCase.h), testCase.settled) << testCase.start << " " << testCase.h;
        EXPECT_EQ(queue.lastAcknowledged(), testCase.start + static_cast<quint32>(testCase.settled.size()));
    }
}

TEST(XMPPStanzaAcknowledgementQueue, IgnoresAnAcknowledgementThatGoesBackOrTooFar) {
    XMPPStanzaAcknowledgementQueue queue(10);
    queue.stanzaWasSent(QStringLiteral("a"));
    queue.stanzaWasSent(QStringLiteral("b"));
    EXPECT_EQ(queue.acknowledge(9), QStringList());
    EXPECT_EQ(queue.pendingCount(), 2u);
    EXPECT_EQ(queue.acknowledge(100), QStringList({"a", "b"}));
    EXPECT_EQ(queue.lastAcknowledged(), 12u);
}

class Acknowledgements : public XMPPStreamManagementDelegate {
public:
    void xmppStreamManagementWasEnabled(XMPPStreamManagement&, const XMLElement&) override {
        events << "enabled";
    }
    void xmppStreamManagementWasNotEnabled(XMPPStreamManagement&, const XMLElement&) override {
        events << "notEnabled";
    }
    void xmppStreamManagementDidReceiveAckForStanzaIds(XMPPStreamManagement&,
                                                       const QStringList& ids) override {
        events << "acknowledged " + ids.join(',');
    }
    QStringList events;
};

const QString streamManagementFeature = QStringLiteral("<sm xmlns='urn:xmpp:sm:3'/>");

class XMPPStreamManagementTest : public testing::Test {
protected:
    void SetUp() override {
        server.configureClientStream(*stream);
        stream->addDelegate(recorder, nullptr);
        streamManagement->addDelegate(acknowledgements, nullptr);
        ASSERT_TRUE(streamManagement->activate(stream));
    }

    void signIn(const QString& features = streamManagementFeature) {
        const int connections = recorder->count("connected") + 1;
        ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
        ASSERT_TRUE(server.negotiateTLS(ScriptedXMPPServer::mechanismsFeatures({"PLAIN"})));
        ASSERT_TRUE(recorder->waitFor("connected", connections));
        ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("secret")));
        ASSERT_TRUE(server.acceptPlainSignInAndBind(features));
        ASSERT_TRUE(recorder->waitFor("authenticated", connections));
    }

    void enable() {
        streamManagement->enableStreamManagementWithResumption(false, 0);
        ASSERT_TRUE(server.expect("<enable xmlns='urn:xmpp:sm:3'/>"));
        server.inject("<enabled xmlns='urn:xmpp:sm:3'/>");
        ASSERT_TRUE(test::runUntil([&] { return acknowledgements->events.endsWith("enabled"); }));
    }

    XMPPMessage chat(const QString& id) {
        XMPPMessage message =
            XMPPMessage::messageWithType("chat", XMPPJID::jidWithString("peer@tovrin.test"));
        message.setElementID(id);
        return message;
    }

    ScriptedXMPPServer server;
    test::ManualTimers timers;
    std::shared_ptr<XMPPStream> stream = std::make_shared<XMPPStream>(timers.source());
    std::shared_ptr<test::XMPPStreamRecorder> recorder = std::make_shared<test::XMPPStreamRecorder>();
    std::shared_ptr<XMPPStreamManagement> streamManagement = std::make_shared<XMPPStreamManagement>(
        std::make_shared<XMPPStreamManagementMemoryStorage>(), timers.source());
    std::shared_ptr<Acknowledgements> acknowledgements = std::make_shared<Acknowledgements>();
};

TEST_F(XMPPStreamManagementTest, EnablesWithoutResumptionWhenNotAskedFor) {
    signIn();
    enable();
    EXPECT_TRUE(streamManagement->isEnabled());
}

TEST_F(XMPPStreamManagementTest, AsksForResumptionAndItsTimeWhenGiven) {
    signIn();
    streamManagement->enableStreamManagementWithResumption(true, 300);
    ASSERT_TRUE(server.expect("<enable xmlns='urn:xmpp:sm:3' resume='true' max='300'/>"));
    server.inject("<enabled xmlns='urn:xmpp:sm:3' id='r1' resume='true' max='120'/>");
    ASSERT_TRUE(test::runUntil([&] { return acknowledgements->events.contains("enabled"); }));
    EXPECT_EQ(streamManagement->storage()->state().resumptionID, "r1");
    EXPECT_EQ(streamManagement->storage()->state().maxResumptionTime, 120);
}

TEST_F(XMPPStreamManagementTest, ReportsWhenTheServerDoesNotOfferIt) {
    signIn(QString());
    streamManagement->enableStreamManagementWithResumption(false, 0);
    ASSERT_TRUE(test::runUntil([&] { return acknowledgements->events.contains("notEnabled"); }));
    EXPECT_TRUE(server.expectNothing());
}

TEST_F(XMPPStreamManagementTest, ReportsWhenTheServerRefuses) {
    signIn();
    streamManagement->enableStreamManagementWithResumption(false, 0);
    ASSERT_TRUE(server.expect("<enable xmlns='urn:xmpp:sm:3'/>"));
    server.inject("<failed xmlns='urn:xmpp:sm:3'/>");
    ASSERT_TRUE(test::runUntil([&] { return acknowledgements->events.contains("notEnabled"); }));
    EXPECT_FALSE(streamManagement->isEnabled());
}

TEST_F(XMPPStreamManagementTest, AsksForAnAcknowledgementAfterEachStanzaAndReportsTheSettledIds) {
    streamManagement->automaticallyRequestAcksAfterStanzaCount(1, 5.0);
    signIn();
    enable();
    stream->sendElement(chat("m1"));
    ASSERT_TRUE(server.expect("<message type='chat' to='peer@tovrin.test' id='m1'/>"));
    ASSERT_TRUE(server.expect("<r xmlns='urn:xmpp:sm:3'/>"));
    stream->sendElement(chat("m2"));
    stream->sendElement(XMPPPresence());
    stream->sendElement(chat("m3"));
    // The requests follow the stanzas as stream management hears of them, after the sending.
    for (const char* name : {"message", "presence", "message"}) ASSERT_EQ(server.nextElement().name(), name);
    for (int index = 0; index < 3; ++index) ASSERT_TRUE(server.expect("<r xmlns='urn:xmpp:sm:3'/>"));
    server.inject("<a xmlns='urn:xmpp:sm:3' h='3'/>");
    ASSERT_TRUE(test::runUntil([&] { return acknowledgements->events.size() == 2; }));
    EXPECT_EQ(acknowledgements->events.last(), "acknowledged m1,m2");
    server.inject("<a xmlns='urn:xmpp:sm:3' h='4'/>");
    ASSERT_TRUE(test::runUntil([&] { return acknowledgements->events.size() == 3; }));
    EXPECT_EQ(acknowledgements->events.last(), "acknowledged m3");
}

TEST_F(XMPPStreamManagementTest, AsksForAnAcknowledgementAfterTheTimeout) {
    streamManagement->automaticallyRequestAcksAfterStanzaCount(10, 5.0);
    signIn();
    enable();
    stream->sendElement(chat("m1"));
    stream->sendElement(chat("m2"));
    server.nextElement();
    server.nextElement();
    EXPECT_TRUE(server.expectNothing(100));
    ASSERT_TRUE(test::runUntil([&] { return timers.liveCount(5.0) == 1; }));
    timers.fire(5.0);
    EXPECT_TRUE(server.expect("<r xmlns='urn:xmpp:sm:3'/>"));
}

TEST_F(XMPPStreamManagementTest, AnswersTheServersRequestWithTheCountOfStanzasReceived) {
    signIn();
    enable();
    server.inject("<r xmlns='urn:xmpp:sm:3'/>");
    ASSERT_TRUE(server.expect("<a xmlns='urn:xmpp:sm:3' h='0'/>"));
    server.inject(
        "<message from='peer@tovrin.test'/><presence from='peer@tovrin.test'/>"
        "<iq type='result' id='x'/><r xmlns='urn:xmpp:sm:3'/>");
    ASSERT_TRUE(server.expect("<a xmlns='urn:xmpp:sm:3' h='3'/>"));
}

TEST_F(XMPPStreamManagementTest, TheServersLastAcknowledgementAfterADisconnectionStillSettles) {
    streamManagement->automaticallyRequestAcksAfterStanzaCount(1, 0);
    signIn();
    enable();
    server.setAnswersClosingTag(false);
    stream->sendElement(chat("m1"));
    stream->sendElement(chat("m2"));
    ASSERT_TRUE(test::runUntil([&] { return server.receivedText().count("<r ") == 2; }));
    stream->disconnect();
    ASSERT_TRUE(server.waitForClosingTag());
    server.inject("<a xmlns='urn:xmpp:sm:3' h='2'/></stream:stream>");
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    test::drainMainQueue();
    EXPECT_EQ(acknowledgements->events.last(), "acknowledged m1,m2");
}

TEST_F(XMPPStreamManagementTest, StartsCountingAfreshOnANewConnection) {
    streamManagement->automaticallyRequestAcksAfterStanzaCount(1, 0);
    signIn();
    enable();
    stream->sendElement(chat("old"));
    server.dropConnection();
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    signIn();
    enable();
    stream->sendElement(chat("new"));
    ASSERT_TRUE(server.expect("<message type='chat' to='peer@tovrin.test' id='new'/>"));
    ASSERT_TRUE(server.expect("<r xmlns='urn:xmpp:sm:3'/>"));
    server.inject("<a xmlns='urn:xmpp:sm:3' h='1'/>");
    ASSERT_TRUE(test::runUntil([&] { return acknowledgements->events.last().startsWith("acknowledged"); }));
    EXPECT_EQ(acknowledgements->events.last(), "acknowledged new");
}

}  // namespace
}  // namespace tovrin::xmpp
