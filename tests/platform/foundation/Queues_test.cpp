#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <thread>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/OperationQueue.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using test::runUntil;

TEST(MainQueue, RunsBlocksLaterInTheOrderPosted) {
    std::vector<int> order;
    for (int i = 0; i < 5; ++i) MainQueue::async([&order, i] { order.push_back(i); });
    EXPECT_TRUE(order.empty());
    ASSERT_TRUE(runUntil([&] { return order.size() == 5; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(MainQueue, BlocksPostedFromAnotherThreadRunOnTheMainThreadInOrder) {
    std::vector<int> order;
    std::vector<bool> onMain;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            MainQueue::async([&, i] {
                order.push_back(i);
                onMain.push_back(MainQueue::isMainThread());
            });
        }
    });
    worker.join();
    ASSERT_TRUE(runUntil([&] { return order.size() == 100; }));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(order[i], i);
    EXPECT_TRUE(std::all_of(onMain.begin(), onMain.end(), [](bool value) { return value; }));
}

TEST(MainQueue, AsyncAfterWithNoDelayStillRunsLater) {
    bool ran = false;
    MainQueue::asyncAfter(0, [&] { ran = true; });
    MainQueue::asyncAfter(-1, [&] { ran = true; });
    EXPECT_FALSE(ran);
    ASSERT_TRUE(runUntil([&] { return ran; }));
}

TEST(OperationQueue, TheMainQueueRunsOnTheMainThreadAndANewQueueOffIt) {
    ASSERT_TRUE(OperationQueue::main()->isMain());
    EXPECT_EQ(OperationQueue::main(), OperationQueue::main());
    std::atomic<int> mainRuns{0};
    std::atomic<int> backgroundRuns{0};
    std::atomic<bool> backgroundOnMain{false};
    OperationQueue::main()->addOperation([&] { mainRuns += MainQueue::isMainThread() ? 1 : 100; });
    auto background = std::make_shared<OperationQueue>();
    EXPECT_FALSE(background->isMain());
    for (int i = 0; i < 4; ++i) {
        background->addOperation([&] {
            if (MainQueue::isMainThread()) backgroundOnMain = true;
            ++backgroundRuns;
        });
    }
    ASSERT_TRUE(runUntil([&] { return mainRuns == 1 && backgroundRuns == 4; }));
    EXPECT_FALSE(backgroundOnMain);
}

TEST(DispatchQueue, RunsBlocksOneAtATimeInSubmissionOrderOnItsOwnThread) {
    DispatchQueue queue(QStringLiteral("test"));
    std::mutex mutex;
    std::vector<int> order;
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::atomic<bool> offMain{true};
    for (int i = 0; i < 50; ++i) {
        queue.async([&, i] {
            if (++running > 1) overlapped = true;
            if (MainQueue::isMainThread() || !queue.isCurrent()) offMain = false;
            {
                std::lock_guard lock(mutex);
                order.push_back(i);
            }
            --running;
        });
    }
    queue.sync([] {});
    EXPECT_FALSE(overlapped);
    EXPECT_TRUE(offMain);
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
    EXPECT_FALSE(queue.isCurrent());
    EXPECT_EQ(queue.label(), "test");
}

TEST(DispatchQueue, DestructionRunsTheBlocksAlreadySubmitted) {
    std::atomic<int> runs{0};
    {
        DispatchQueue queue(QStringLiteral("draining"));
        for (int i = 0; i < 20; ++i) queue.async([&] { ++runs; });
    }
    EXPECT_EQ(runs, 20);
}

TEST(DispatchQueue, TheLastOwnerMayLetGoFromInsideABlock) {
    auto queue = std::make_shared<DispatchQueue>(QStringLiteral("self-releasing"));
    std::atomic<bool> finished{false};
    std::weak_ptr<DispatchQueue> weak = queue;
    queue->async([held = queue, &finished]() mutable {
        held.reset();  // the queue object ends here, on its own thread
        finished = true;
    });
    queue.reset();
    ASSERT_TRUE(runUntil([&] { return finished && weak.expired(); }));
}

TEST(DispatchQueue, TheMainQueueRunsBlocksLaterOnTheMainThreadInOrder) {
    const std::shared_ptr<DispatchQueue> main = DispatchQueue::main();
    EXPECT_TRUE(main->isMain());
    EXPECT_TRUE(main->isCurrent());
    std::vector<int> order;
    for (int i = 0; i < 3; ++i) main->async([&order, i] { order.push_back(i); });
    EXPECT_TRUE(order.empty());
    std::atomic<bool> ranOnMain = false;
    std::thread other([&] { main->sync([&] { ranOnMain = MainQueue::isMainThread(); }); });
    ASSERT_TRUE(runUntil([&] { return ranOnMain.load(); }));
    other.join();
    EXPECT_EQ(order, std::vector<int>({0, 1, 2}));
}

TEST(DispatchQueueDeathTest, SyncOnItsOwnThreadStopsTheProcess) {
    EXPECT_DEATH(
        {
            DispatchQueue queue(QStringLiteral("deadlock"));
            queue.sync([&] { queue.sync([] {}); });
        },
        "sync on the queue's own thread");
}

}  // namespace
}  // namespace tovrin
