#include "platform/xmpp/XMPPModule.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QThread>
#include <atomic>
#include <future>
#include <numeric>

#include "platform/xmpp/MulticastDelegate.h"
#include "platform/xmpp/XMPPStream.h"
#include "support/TestSupport.h"

namespace tovrin::xmpp {
namespace {

class Listener {
public:
    virtual ~Listener() = default;
    virtual void heard(int value) = 0;
};

class Recording : public Listener {
public:
    void heard(int value) override {
        std::lock_guard lock(mutex);
        values.push_back(value);
        threads.push_back(QThread::currentThread());
    }
    std::mutex mutex;
    std::vector<int> values;
    std::vector<QThread*> threads;
};

TEST(MulticastDelegate, CallsEachDelegateLaterOnItsQueueInOrder) {
    MulticastDelegate<Listener> multicast;
    auto onMain = std::make_shared<Recording>();
    auto onQueue = std::make_shared<Recording>();
    auto queue = std::make_shared<DispatchQueue>(QStringLiteral("delegate"));
    multicast.addDelegate(onMain, nullptr);
    multicast.addDelegate(onQueue, queue);
    for (int value = 0; value < 100; ++value)
        multicast.invoke([value](Listener& listener) { listener.heard(value); });
    EXPECT_TRUE(onMain->values.empty());
    ASSERT_TRUE(test::runUntil([&] {
        std::lock_guard lock(onQueue->mutex);
        return onMain->values.size() == 100 && onQueue->values.size() == 100;
    }));
    std::vector<int> expected(100);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(onMain->values, expected);
    EXPECT_EQ(onQueue->values, expected);
    EXPECT_EQ(onMain->threads.front(), QThread::currentThread());
    EXPECT_NE(onQueue->threads.front(), QThread::currentThread());
}

TEST(MulticastDelegate, SkipsADelegateThatHasGoneOrWasRemoved) {
    MulticastDelegate<Listener> multicast;
    auto gone = std::make_shared<Recording>();
    auto removed = std::make_shared<Recording>();
    multicast.addDelegate(gone, nullptr);
    multicast.addDelegate(removed, nullptr);
    multicast.removeDelegate(removed.get());
    std::weak_ptr<Recording> weakGone = gone;
    multicast.invoke([](Listener& listener) { listener.heard(1); });
    gone.reset();
    test::drainMainQueue();
    EXPECT_TRUE(weakGone.expired());
    EXPECT_TRUE(removed->values.empty());
}

TEST(MulticastDelegate, AsksEveryDelegateAndAnswersOnTheMainQueue) {
    struct Asked : Listener {
        explicit Asked(bool answer) : answer(answer) {}
        void heard(int) override {}
        bool answer;
    };
    MulticastDelegate<Listener> multicast;
    auto no = std::make_shared<Asked>(false);
    auto yes = std::make_shared<Asked>(true);
    auto queue = std::make_shared<DispatchQueue>(QStringLiteral("asked"));
    multicast.addDelegate(no, nullptr);
    multicast.addDelegate(yes, queue);
    std::optional<bool> answer;
    multicast.invokeAsking([](Listener& listener) { return static_cast<Asked&>(listener).answer; },
                           [&](bool any) { answer = any && MainQueue::isMainThread(); });
    ASSERT_TRUE(test::runUntil([&] { return answer.has_value(); }));
    EXPECT_TRUE(*answer);

    MulticastDelegate<Listener> nobody;
    std::optional<bool> unanswered;
    nobody.invokeAsking([](Listener&) { return true; }, [&](bool any) { unanswered = any; });
    ASSERT_TRUE(test::runUntil([&] { return unanswered.has_value(); }));
    EXPECT_FALSE(*unanswered);
}

class CountingModule : public XMPPModule {
public:
    using XMPPModule::XMPPModule;
    void xmppStreamDidFailToSendPresence(XMPPStream&, const XMPPPresence&, const Error&) override {
        onModuleQueue = onModuleQueue && moduleQueue()->isCurrent();
        ++failures;
    }
    std::atomic<int> failures = 0;
    std::atomic<bool> onModuleQueue = true;
};

TEST(XMPPModule, ReceivesTheStreamsEventsOnItsOwnQueueOnceActivated) {
    auto stream = std::make_shared<XMPPStream>();
    auto module = std::make_shared<CountingModule>();
    EXPECT_FALSE(module->moduleQueue()->isMain());
    stream->sendElement(XMPPPresence());
    EXPECT_TRUE(module->activate(stream));
    EXPECT_FALSE(module->activate(stream));
    EXPECT_EQ(module->xmppStream(), stream);
    stream->sendElement(XMPPPresence());
    ASSERT_TRUE(test::runUntil([&] { return module->failures == 1; }));
    EXPECT_TRUE(module->onModuleQueue);
    module->deactivate();
    EXPECT_FALSE(module->xmppStream());
    stream->sendElement(XMPPPresence());
    test::drainMainQueue();
    module->moduleQueue()->sync([] {});
    EXPECT_EQ(module->failures, 1);
}

// Holds the event (and with it the stream) on the module's queue until the test lets go.
class HoldingModule : public XMPPModule {
public:
    void xmppStreamDidFailToSendPresence(XMPPStream&, const XMPPPresence&, const Error&) override {
        entered = true;
        released.wait();
    }
    std::atomic<bool> entered = false;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
};

TEST(XMPPModule, AStreamLastHeldOnAModuleQueueGoesOnTheMainThread) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    auto stream = std::make_shared<XMPPStream>();
    stream->setHostName(QStringLiteral("127.0.0.1"));
    stream->setHostPort(silent.serverPort());
    stream->setMyJID(XMPPJID::jidWithString(QStringLiteral("user@tovrin.test")));
    auto module = std::make_shared<HoldingModule>();
    ASSERT_TRUE(module->activate(stream));
    // Its time-out is a timer on the main run loop, which only the main thread may stop.
    ASSERT_TRUE(stream->connectWithTimeout(30));
    stream->sendElement(XMPPPresence());
    ASSERT_TRUE(test::runUntil([&] { return module->entered.load(); }));
    std::weak_ptr<XMPPStream> weak = stream;
    stream.reset();
    EXPECT_FALSE(weak.expired());
    module->release.set_value();
    EXPECT_TRUE(test::runUntil([&] { return weak.expired(); }));
}

}  // namespace
}  // namespace tovrin::xmpp
