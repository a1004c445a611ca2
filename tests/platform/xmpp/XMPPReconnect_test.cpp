#include "platform/xmpp/Reconnect/XMPPReconnect.h"

#include <gtest/gtest.h>

#include "fixtures/xmpp/ScriptedXMPPServer.h"
#include "fixtures/xmpp/XMPPTestDoubles.h"
#include "platform/xmpp/XMPPStream.h"
#include "support/TestSupport.h"

namespace tovrin::xmpp {
namespace {

using test::ScriptedXMPPServer;

class Reports : public XMPPReconnectDelegate {
public:
    void xmppReconnectDidDetectAccidentalDisconnection(XMPPReconnect&) override { ++accidents; }
    int accidents = 0;
};

class XMPPReconnectTest : public testing::Test {
protected:
    void SetUp() override {
        server.configureClientStream(*stream);
        stream->addDelegate(recorder, nullptr);
        reconnect->addDelegate(reports, nullptr);
        reconnect->setReconnectDelay(0);
        reconnect->setReconnectTimerInterval(1.0);
        ASSERT_TRUE(reconnect->activate(stream));
    }

    void connect() {
        const int connections = recorder->count("connected") + 1;
        if (stream->isDisconnected()) {
            ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
        }
        ASSERT_TRUE(server.negotiateTLS(ScriptedXMPPServer::mechanismsFeatures({"PLAIN"})));
        ASSERT_TRUE(recorder->waitFor("connected", connections));
    }

    ScriptedXMPPServer server;
    test::ManualTimers timers;
    std::shared_ptr<XMPPStream> stream = std::make_shared<XMPPStream>(timers.source());
    std::shared_ptr<test::XMPPStreamRecorder> recorder = std::make_shared<test::XMPPStreamRecorder>();
    std::shared_ptr<XMPPReconnect> reconnect = std::make_shared<XMPPReconnect>(timers.source());
    std::shared_ptr<Reports> reports = std::make_shared<Reports>();
};

TEST_F(XMPPReconnectTest, ReportsAnAccidentalDisconnectionOnceAndConnectsAgain) {
    connect();
    server.dropConnection();
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    ASSERT_TRUE(test::runUntil([&] { return reports->accidents == 1; }));
    EXPECT_EQ(timers.fire(0), 1);
    connect();
    EXPECT_EQ(reports->accidents, 1);
    EXPECT_EQ(recorder->count("disconnected"), 1);
    EXPECT_EQ(timers.liveCount(1.0), 0);
}

TEST_F(XMPPReconnectTest, KeepsTryingEveryIntervalUntilTheStreamConnects) {
    connect();
    server.dropConnection();
    ASSERT_TRUE(test::runUntil([&] { return reports->accidents == 1; }));
    const quint16 port = server.port();
    stream->setHostPort(1);  // nothing listens there: the attempt fails
    timers.fire(0);
    ASSERT_TRUE(recorder->waitFor("disconnected", 2));
    stream->setHostPort(port);
    EXPECT_EQ(timers.fire(1.0), 1);
    connect();
    EXPECT_EQ(reports->accidents, 1);
}

TEST_F(XMPPReconnectTest, LeavesAStreamThatWasToldToDisconnect) {
    connect();
    stream->disconnect();
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    test::drainMainQueue();
    EXPECT_EQ(reports->accidents, 0);
    EXPECT_EQ(timers.liveCount(0), 0);
}

TEST_F(XMPPReconnectTest, NeitherReportsNorReconnectsWhenAutomaticReconnectionIsOff) {
    reconnect->setAutoReconnect(false);
    connect();
    server.dropConnection();
    ASSERT_TRUE(recorder->waitFor("disconnected"));
    test::drainMainQueue();
    EXPECT_EQ(reports->accidents, 0);
    EXPECT_EQ(timers.liveCount(0), 0);
}

TEST_F(XMPPReconnectTest, AManualStartConnectsWithTheHostAndAddressTheStreamHas) {
    reconnect->setAutoReconnect(false);
    reconnect->manualStart();
    EXPECT_EQ(timers.fire(0), 1);
    connect();
    EXPECT_EQ(timers.liveCount(1.0), 0);
    reconnect->manualStart();
    EXPECT_EQ(timers.liveCount(0), 0);
}

TEST_F(XMPPReconnectTest, StopEndsTheAttempts) {
    reconnect->manualStart();
    reconnect->stop();
    EXPECT_EQ(timers.fire(0) + timers.fire(1.0), 0);
    EXPECT_TRUE(stream->isDisconnected());
}

}  // namespace
}  // namespace tovrin::xmpp
