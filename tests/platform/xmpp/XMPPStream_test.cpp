#include "platform/xmpp/XMPPStream.h"

#include <gtest/gtest.h>

#include "fixtures/xmpp/ScriptedXMPPServer.h"
#include "fixtures/xmpp/XMPPTestDoubles.h"
#include "platform/xmpp/SASL/XMPPSCRAMSHA1Authentication.h"
#include "support/TestSupport.h"

namespace tovrin::xmpp {
namespace {

using test::drainMainQueue;
using test::runUntil;
using test::ScriptedXMPPServer;

const QString plainOnly = ScriptedXMPPServer::mechanismsFeatures({"PLAIN"});

class XMPPStreamTest : public testing::Test {
protected:
    void SetUp() override {
        server.configureClientStream(*stream);
        stream->addDelegate(recorder, nullptr);
    }

    void connectSecurely(const QString& features = plainOnly) {
        ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
        ASSERT_TRUE(server.negotiateTLS(features));
        ASSERT_TRUE(recorder->waitFor("connected"));
    }

    void signIn(const QString& featuresAfterSignIn = {}) {
        connectSecurely();
        ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("secret")));
        ASSERT_TRUE(server.acceptPlainSignInAndBind(featuresAfterSignIn));
        ASSERT_TRUE(recorder->waitFor("authenticated"));
    }

    ScriptedXMPPServer server;
    test::ManualTimers timers;
    std::shared_ptr<XMPPStream> stream = std::make_shared<XMPPStream>(timers.source());
    std::shared_ptr<test::XMPPStreamRecorder> recorder = std::make_shared<test::XMPPStreamRecorder>();
};

TEST_F(XMPPStreamTest, OpensTheStreamTakesSTARTTLSAndReportsConnected) {
    connectSecurely();
    EXPECT_TRUE(stream->isConnected());
    EXPECT_TRUE(stream->isSecure());
    EXPECT_FALSE(stream->isAuthenticated());
    EXPECT_EQ(server.clientStreamHeader().attributeStringValueForName("to"), "tovrin.test");
    EXPECT_EQ(server.clientStreamHeader().attributeStringValueForName("from"), "user@tovrin.test");
    EXPECT_EQ(recorder->events, QStringList({"sentCustom", "secured", "connected"}));
    EXPECT_TRUE(recorder->onMainThreadOnly);
}

TEST_F(XMPPStreamTest, IsNotConnectedWhileNegotiating) {
    ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
    EXPECT_TRUE(stream->isConnecting());
    EXPECT_FALSE(stream->isConnected());
    ASSERT_TRUE(server.waitForStreamHeader());
    EXPECT_FALSE(stream->isConnected());
}

TEST_F(XMPPStreamTest, RefusesToGoOnWithoutSTARTTLSAndSendsNoCredentials) {
    ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
    ASSERT_TRUE(runUntil([&] { return server.waitForStreamHeader(); }));
    server.openStream();
    server.inject("<stream:features>" + plainOnly + "</stream:features>");
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    EXPECT_EQ(recorder->count("connected"), 0);
    EXPECT_EQ(recorder->disconnectError->code(), XMPPStreamUnsupportedAction);
    EXPECT_FALSE(stream->authenticateWithPassword(QStringLiteral("secret")));
    ASSERT_TRUE(server.waitForDisconnection());
    EXPECT_FALSE(server.receivedText().contains("auth"));
    EXPECT_FALSE(server.receivedText().contains("secret"));
}

TEST_F(XMPPStreamTest, EndsTheStreamWhenTheServerRefusesSTARTTLS) {
    ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
    ASSERT_TRUE(server.waitForStreamHeader());
    server.openStream();
    server.inject("<stream:features><starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'/></stream:features>");
    ASSERT_TRUE(server.expect("<starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>"));
    server.inject("<failure xmlns='urn:ietf:params:xml:ns:xmpp-tls'/></stream:stream>");
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    EXPECT_EQ(recorder->count("connected"), 0);
}

TEST_F(XMPPStreamTest, EndsTheStreamWhenTheCertificateIsNotTrusted) {
    stream->setTrustedCertificateAuthorities({});
    ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
    ASSERT_TRUE(server.waitForStreamHeader());
    server.openStream();
    server.inject("<stream:features><starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'/></stream:features>");
    ASSERT_TRUE(server.expect("<starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>"));
    server.proceedWithTLS();
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    EXPECT_EQ(recorder->count("connected"), 0);
    EXPECT_EQ(recorder->disconnectError->code(), XMPPStreamSocketError);
}

TEST_F(XMPPStreamTest, RefusesAConnectWhileConnectingOrConnected) {
    ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
    Error error;
    EXPECT_FALSE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone, &error));
    EXPECT_EQ(error.code(), XMPPStreamInvalidState);
    ASSERT_TRUE(server.negotiateTLS(plainOnly));
    ASSERT_TRUE(recorder->waitFor("connected"));
    EXPECT_FALSE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
}

TEST_F(XMPPStreamTest, RefusesAConnectWithoutAnOwnAddress) {
    stream->setMyJID(std::nullopt);
    Error error;
    EXPECT_FALSE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone, &error));
    EXPECT_EQ(error.code(), XMPPStreamInvalidProperty);
}

TEST_F(XMPPStreamTest, TakesTheMostPreferredMechanismOnOffer) {
    struct Case {
        QStringList offered;
        QString chosen;
    };
    const QList<Case> cases = {
        {{"PLAIN", "DIGEST-MD5", "SCRAM-SHA-1"}, "SCRAM-SHA-1"},
        {{"PLAIN", "DIGEST-MD5"}, "DIGEST-MD5"},
        {{"X-OAUTH2", "PLAIN"}, "PLAIN"},
    };
    for (const Case& testCase : cases) {
        auto fresh = std::make_shared<XMPPStream>(timers.source());
        auto events = std::make_shared<test::XMPPStreamRecorder>();
        fresh->setHostName(QStringLiteral("127.0.0.1"));
        fresh->setHostPort(server.port());
        fresh->setMyJID(XMPPJID::jidWithString(QStringLiteral("user@tovrin.test")));
        fresh->setTrustedCertificateAuthorities(test::testCertificateAuthority());
        fresh->addDelegate(events, nullptr);
        ASSERT_TRUE(fresh->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
        ASSERT_TRUE(server.negotiateTLS(ScriptedXMPPServer::mechanismsFeatures(testCase.offered)));
        ASSERT_TRUE(events->waitFor("connected"));
        ASSERT_TRUE(fresh->authenticateWithPassword(QStringLiteral("secret")));
        EXPECT_TRUE(server.expect("<auth xmlns='urn:ietf:params:xml:ns:xmpp-sasl' mechanism='" +
                                  testCase.chosen + "'>*</auth>"))
            << testCase.chosen.toStdString();
        fresh->disconnect();
        ASSERT_TRUE(server.waitForDisconnection());
    }
}

TEST_F(XMPPStreamTest, SignsInWithTheLegacyProtocolWhenNoMechanismIsOffered) {
    connectSecurely("<auth xmlns='http://jabber.org/features/iq-auth'/>");
    ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("secret")));
    ASSERT_TRUE(
        server.expect("<iq type='get' id='auth1'><query xmlns='jabber:iq:auth'><username>user</username>"
                      "</query></iq>"));
    server.inject(
        "<iq type='result' id='auth1'><query xmlns='jabber:iq:auth'><username/><password/><resource/>"
        "</query></iq>");
    ASSERT_TRUE(
        server.expect("<iq type='set' id='auth2'><query xmlns='jabber:iq:auth'><username>user</username>"
                      "<password>secret</password><resource>resource</resource></query></iq>"));
    server.inject("<iq type='result' id='auth2'/>");
    ASSERT_TRUE(recorder->waitFor("authenticated"));
    EXPECT_TRUE(stream->isAuthenticated());
}

TEST_F(XMPPStreamTest, ReportsARefusalWhenNothingUsableIsOffered) {
    connectSecurely(ScriptedXMPPServer::mechanismsFeatures({"X-OAUTH2"}));
    EXPECT_FALSE(stream->authenticateWithPassword(QStringLiteral("secret")));
    ASSERT_TRUE(recorder->waitFor("notAuthenticated"));
    EXPECT_FALSE(recorder->last("notAuthenticated").elementForName("invalid-mechanism").isNull());
    EXPECT_TRUE(stream->isConnected());
}

TEST_F(XMPPStreamTest, SignsInBindsTheResourceAndReportsAuthenticated) {
    signIn();
    EXPECT_TRUE(stream->isAuthenticated());
    EXPECT_TRUE(stream->isConnected());
    EXPECT_EQ(stream->myJID()->full(), "user@tovrin.test/resource");
    EXPECT_EQ(recorder->count("authenticated"), 1);
}

TEST_F(XMPPStreamTest, IsNotConnectedWhileSigningInOrBinding) {
    connectSecurely();
    ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("secret")));
    EXPECT_FALSE(stream->isConnected());
    EXPECT_TRUE(stream->isAuthenticating());
    EXPECT_FALSE(stream->authenticateWithPassword(QStringLiteral("again")));
}

TEST_F(XMPPStreamTest, StartsASessionWhenTheServerStillRequiresOne) {
    connectSecurely();
    ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("secret")));
    ASSERT_TRUE(server.acceptPlainSignInAndBind("<session xmlns='urn:ietf:params:xml:ns:xmpp-session'/>"));
    ASSERT_TRUE(
        server.expect("<iq type='set' id='*'><session xmlns='urn:ietf:params:xml:ns:xmpp-session'/></iq>"));
    EXPECT_EQ(recorder->count("authenticated"), 0);
    server.inject("<iq type='result' id='{id}'/>");
    ASSERT_TRUE(recorder->waitFor("authenticated"));
}

TEST_F(XMPPStreamTest, ARefusedSignInLeavesTheStreamOpenForASecondTry) {
    connectSecurely();
    ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("wrong")));
    ASSERT_TRUE(server.expect(
        "<auth xmlns='urn:ietf:params:xml:ns:xmpp-sasl' mechanism='PLAIN'>AHVzZXIAd3Jvbmc=</auth>"));
    server.inject("<failure xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><not-authorized/></failure>");
    ASSERT_TRUE(recorder->waitFor("notAuthenticated"));
    EXPECT_TRUE(stream->isConnected());
    EXPECT_FALSE(stream->isAuthenticated());
    EXPECT_FALSE(recorder->last("notAuthenticated").elementForName("not-authorized").isNull());

    ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("secret")));
    ASSERT_TRUE(server.acceptPlainSignInAndBind());
    ASSERT_TRUE(recorder->waitFor("authenticated"));
    EXPECT_EQ(recorder->count("connected"), 1);
}

TEST_F(XMPPStreamTest, FailsAndDisconnectsWhenTheServerSignatureIsWrong) {
    connectSecurely(ScriptedXMPPServer::mechanismsFeatures({"SCRAM-SHA-1"}));
    ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("pencil")));
    const QByteArray first = QByteArray::fromBase64(server.nextElement().stringValue().toLatin1());
    const QByteArray clientNonce = first.mid(first.indexOf(",r=") + 3);
    server.inject("<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>" +
                  QString::fromLatin1(("r=" + clientNonce + "server,s=QSXCR+Q6sek8bf92,i=4096").toBase64()) +
                  "</challenge>");
    ASSERT_TRUE(server.expect("<response xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>*</response>"));
    server.inject("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>" +
                  QString::fromLatin1(QByteArray("v=AAAAAAAAAAAAAAAAAAAAAAAAAAA=").toBase64()) +
                  "</success>");
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    EXPECT_EQ(recorder->count("notAuthenticated"), 1);
    EXPECT_EQ(recorder->count("authenticated"), 0);
    EXPECT_EQ(recorder->disconnectError->code(), XMPPStreamServerNotVerified);
}

TEST_F(XMPPStreamTest, ReportsStanzasReceivedAndSentLaterOnTheMainQueue) {
    signIn();
    recorder->clear();
    XMPPMessage message = XMPPMessage::messageWithType("chat", XMPPJID::jidWithString("peer@tovrin.test"));
    message.setElementID("m1");
    message.addBody("hello");
    stream->sendElement(message);
    EXPECT_TRUE(recorder->events.isEmpty());
    ASSERT_TRUE(
        server.expect("<message type='chat' to='peer@tovrin.test' id='m1'><body>hello</body></message>"));
    ASSERT_TRUE(recorder->waitFor("sentMessage"));
    EXPECT_TRUE(recorder->last("sentMessage").isSameElement(message));

    server.inject(
        "<message from='peer@tovrin.test/x' type='chat' id='m2'><body>hi &amp; bye</body></message>"
        "<presence from='peer@tovrin.test/x'/>");
    ASSERT_TRUE(recorder->waitFor("receivedPresence"));
    EXPECT_EQ(XMPPMessage(recorder->last("receivedMessage")).body(), "hi & bye");
    EXPECT_EQ(recorder->events, QStringList({"sentMessage", "receivedMessage", "receivedPresence"}));
    EXPECT_TRUE(recorder->onMainThreadOnly);
}

TEST_F(XMPPStreamTest, ReportsAStanzaItCannotSendAsFailed) {
    XMPPMessage message = XMPPMessage::messageWithType("chat", XMPPJID::jidWithString("peer@tovrin.test"));
    stream->sendElement(message);
    stream->sendElement(XMPPPresence());
    EXPECT_TRUE(recorder->events.isEmpty());
    ASSERT_TRUE(recorder->waitFor("failedPresence"));
    EXPECT_EQ(recorder->events, QStringList({"failedMessage", "failedPresence"}));
    EXPECT_TRUE(recorder->last("failedMessage").isSameElement(message));
}

TEST_F(XMPPStreamTest, SendsFromAnyThread) {
    signIn();
    DispatchQueue queue(QStringLiteral("sender"));
    queue.async([stream = stream] { stream->sendElement(XMPPPresence()); });
    EXPECT_TRUE(server.expect("<presence/>"));
}

TEST_F(XMPPStreamTest, AnswersIQsNobodyHandlesWithServiceUnavailable) {
    signIn();
    server.inject("<iq type='get' id='q1' from='tovrin.test'><query xmlns='jabber:iq:version'/></iq>");
    ASSERT_TRUE(
        server.expect("<iq type='error' id='q1' to='tovrin.test'><error type='cancel'>"
                      "<service-unavailable xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>"));
    server.inject("<iq type='result' id='q2'/><iq type='error' id='q3'/>");
    EXPECT_TRUE(server.expectNothing());
}

TEST_F(XMPPStreamTest, TellsAPeerThatAsksWhoItIsAndWhatItSupports) {
    signIn();
    server.inject(
        "<iq type='get' id='d1' from='peer@tovrin.test/x'>"
        "<query xmlns='http://jabber.org/protocol/disco#info'/></iq>");
    ASSERT_TRUE(
        server.expect("<iq type='result' id='d1' to='peer@tovrin.test/x'>"
                      "<query xmlns='http://jabber.org/protocol/disco#info'>"
                      "<identity category='client' type='phone' name='Tovrin'/>"
                      "<feature var='http://jabber.org/protocol/disco#info'/>"
                      "<feature var='urn:xmpp:chat-markers:0'/></query></iq>"));
    // The client has no nodes; a set is no question.
    server.inject(
        "<iq type='get' id='d2' from='peer@tovrin.test/x'>"
        "<query xmlns='http://jabber.org/protocol/disco#info' node='urn:example#caps'/></iq>"
        "<iq type='set' id='d3' from='peer@tovrin.test/x'>"
        "<query xmlns='http://jabber.org/protocol/disco#info'/></iq>");
    ASSERT_TRUE(
        server.expect("<iq type='error' id='d2' to='peer@tovrin.test/x'><error type='cancel'>"
                      "<item-not-found xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>"));
    ASSERT_TRUE(
        server.expect("<iq type='error' id='d3' to='peer@tovrin.test/x'><error type='cancel'>"
                      "<service-unavailable xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>"));
}

TEST_F(XMPPStreamTest, LeavesAHandledIQToItsDelegate) {
    signIn();
    recorder->handlesIQs = true;
    server.inject("<iq type='set' id='q1'><query xmlns='urn:example'/></iq>");
    ASSERT_TRUE(recorder->waitFor("receivedIQ"));
    EXPECT_TRUE(server.expectNothing());
}

TEST_F(XMPPStreamTest, ClosesTheStreamWithAStreamErrorOnForbiddenXML) {
    struct Case {
        QString xml;
        QString condition;
    };
    const QList<Case> cases = {
        {"<!-- comment -->", "restricted-xml"},
        {"<message><body>&custom;</body></message>", "restricted-xml"},
        {"<message></iq>", "not-well-formed"},
        {"<message><body>" + QString(2000, 'a') + "</body></message>", "policy-violation"},
    };
    for (const Case& testCase : cases) {
        recorder->clear();
        stream->setMaximumStanzaSize(1000);
        signIn();
        server.inject(testCase.xml);
        ASSERT_TRUE(recorder->waitFor("disconnected"));
        EXPECT_EQ(recorder->count("receivedMessage"), 0);
        ASSERT_TRUE(server.waitForDisconnection());
        EXPECT_TRUE(server.receivedText().contains("<stream:error><" + testCase.condition))
            << testCase.condition.toStdString();
        EXPECT_TRUE(server.receivedText().endsWith("</stream:stream>"));
    }
}

TEST_F(XMPPStreamTest, ReportsAStreamErrorThenTheDisconnection) {
    signIn();
    server.inject(
        "<stream:error><conflict "
        "xmlns='urn:ietf:params:xml:ns:xmpp-streams'/></stream:error></stream:stream>");
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    EXPECT_EQ(recorder->events.mid(recorder->events.size() - 2),
              QStringList({"receivedError", "disconnected"}));
    EXPECT_EQ(recorder->disconnectError->code(), XMPPStreamReceivedStreamError);
}

TEST_F(XMPPStreamTest, ReportsADisconnectionOnceWhenTheServerGoes) {
    signIn();
    server.dropConnection();
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    drainMainQueue();
    EXPECT_EQ(recorder->count("disconnected"), 1);
    EXPECT_TRUE(recorder->disconnectError.has_value());
    EXPECT_TRUE(stream->isDisconnected());
    EXPECT_FALSE(stream->isAuthenticated());
}

TEST_F(XMPPStreamTest, DisconnectsWhenToldClosingTheStream) {
    signIn();
    stream->disconnect();
    EXPECT_TRUE(stream->isDisconnecting());
    EXPECT_FALSE(stream->isConnected());
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    EXPECT_TRUE(stream->isDisconnected());
    ASSERT_TRUE(server.waitForDisconnection());
    EXPECT_TRUE(server.receivedText().endsWith("</stream:stream>"));
    EXPECT_EQ(recorder->events.mid(recorder->events.size() - 2),
              QStringList({"toldToDisconnect", "disconnected"}));
    EXPECT_FALSE(recorder->disconnectError.has_value());
    stream->disconnect();
    drainMainQueue();
    EXPECT_EQ(recorder->count("disconnected"), 1);
}

TEST_F(XMPPStreamTest, ReadsWhatTheServerStillSendsUntilItsClosingTagBeforeLettingGo) {
    signIn();
    server.setAnswersClosingTag(false);
    recorder->clear();
    stream->disconnect();
    ASSERT_TRUE(server.waitForClosingTag());
    // Nothing more goes out once the closing tag has.
    stream->sendElement(XMPPMessage::messageWithType("chat", XMPPJID::jidWithString("peer@tovrin.test")));
    Error refused;
    EXPECT_FALSE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone, &refused));
    EXPECT_EQ(refused.code(), XMPPStreamInvalidState);
    EXPECT_TRUE(server.isClientConnected());
    server.inject(
        "<a xmlns='urn:xmpp:sm:3' h='2'/><message from='peer@tovrin.test/x' type='chat' id='late'>"
        "<body>late</body></message></stream:stream>");
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    EXPECT_EQ(recorder->events, QStringList({"toldToDisconnect", "failedMessage", "receivedCustom",
                                             "receivedMessage", "disconnected"}));
    EXPECT_FALSE(recorder->disconnectError.has_value());
    EXPECT_EQ(recorder->last("receivedCustom").attributeStringValueForName("h"), "2");
    ASSERT_TRUE(server.waitForDisconnection());
    EXPECT_TRUE(server.receivedText().endsWith("</stream:stream>"));
    EXPECT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
}

TEST_F(XMPPStreamTest, EndsAClosingStreamHoweverTheServerLetsGo) {
    struct Case {
        const char* how;
        std::function<void(ScriptedXMPPServer&, test::ManualTimers&)> letGo;
    };
    const QList<Case> cases = {
        {"its closing tag", [](auto& server, auto&) { server.inject("</stream:stream>"); }},
        {"silence until the time-out",
         [](auto&, auto& timers) { EXPECT_EQ(timers.fire(XMPPStream::closingTimeout), 1); }},
        {"a dropped connection", [](auto& server, auto&) { server.dropConnection(); }},
        {"a stream error",
         [](auto& server, auto&) {
             server.inject(
                 "<stream:error><conflict xmlns='urn:ietf:params:xml:ns:xmpp-streams'/>"
                 "</stream:error>");
         }},
        {"XML it cannot read", [](auto& server, auto&) { server.inject("<message></iq>"); }},
    };
    for (const Case& testCase : cases) {
        recorder->clear();
        signIn();
        server.setAnswersClosingTag(false);
        stream->disconnect();
        ASSERT_TRUE(server.waitForClosingTag());
        EXPECT_EQ(timers.liveCount(XMPPStream::closingTimeout), 1);
        testCase.letGo(server, timers);
        ASSERT_TRUE(recorder->waitFor("disconnected")) << testCase.how;
        drainMainQueue();
        EXPECT_EQ(recorder->count("disconnected"), 1) << testCase.how;
        EXPECT_FALSE(recorder->disconnectError.has_value()) << testCase.how;
        EXPECT_EQ(recorder->count("receivedError"), 0) << testCase.how;
        EXPECT_EQ(timers.liveCount(XMPPStream::closingTimeout), 0) << testCase.how;
        EXPECT_TRUE(stream->isDisconnected()) << testCase.how;
        ASSERT_TRUE(server.waitForDisconnection()) << testCase.how;
        EXPECT_TRUE(server.receivedText().endsWith("</stream:stream>")) << testCase.how;
    }
}

TEST_F(XMPPStreamTest, DisconnectsAtOnceBeforeTheServerCouldAnswer) {
    ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
    stream->disconnect();
    EXPECT_TRUE(stream->isDisconnected());
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    EXPECT_FALSE(recorder->disconnectError.has_value());
}

TEST_F(XMPPStreamTest, ConnectsAgainAfterADisconnection) {
    signIn();
    stream->disconnect();
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
    ASSERT_TRUE(server.negotiateTLS(plainOnly));
    EXPECT_TRUE(recorder->waitFor("connected", 2));
}

TEST_F(XMPPStreamTest, SendsAWhitespaceKeepAliveOnlyAfterASilentInterval) {
    signIn();
    ASSERT_EQ(timers.liveCount(XMPPStream::defaultKeepAliveInterval), 1);
    timers.fire(XMPPStream::defaultKeepAliveInterval);
    EXPECT_TRUE(server.expectNothing(100));
    EXPECT_FALSE(server.receivedText().endsWith(" "));
    timers.fire(XMPPStream::defaultKeepAliveInterval);
    ASSERT_TRUE(runUntil([&] { return server.receivedText().endsWith(" "); }));
    stream->disconnect();
    EXPECT_EQ(timers.liveCount(XMPPStream::defaultKeepAliveInterval), 0);
}

TEST_F(XMPPStreamTest, GivesUpAConnectionThatTakesTooLong) {
    ASSERT_TRUE(stream->connectWithTimeout(30));
    ASSERT_TRUE(server.waitForStreamHeader());
    timers.fire(30);
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    EXPECT_EQ(recorder->disconnectError->code(), XMPPStreamTimeout);
}

}  // namespace
}  // namespace tovrin::xmpp
