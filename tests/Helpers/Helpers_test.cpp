#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <atomic>
#include <thread>

#include "Helpers/DeferredBlockExecutor.h"
#include "Helpers/DeviceCurrentDateProvider.h"
#include "Helpers/ThreadTrampoline.h"
#include "Helpers/TimerFactory.h"
#include "Helpers/UUIDProvider.h"
#include "InjectorKeys.h"
#include "platform/di/Injector.h"
#include "platform/foundation/MainQueue.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using test::runUntil;

TEST(DeferredBlockExecutor, RunsTheBlockLaterOnTheMainThread) {
    DeferredBlockExecutor executor;
    std::vector<QString> calls;
    executor.executeAfter(0, [&] { calls.push_back("zero"); });
    executor.executeAfter(-5, [&] { calls.push_back("negative"); });
    executor.executeAfter(0.02, [&] {
        EXPECT_TRUE(MainQueue::isMainThread());
        calls.push_back("later");
    });
    EXPECT_TRUE(calls.empty());
    ASSERT_TRUE(runUntil([&] { return calls.size() == 3; }));
    EXPECT_EQ(calls.back(), "later");
}

TEST(DeferredBlockExecutor, NeverRunsTheBlockBeforeTheDelay) {
    DeferredBlockExecutor executor;
    QElapsedTimer clock;
    clock.start();
    qint64 elapsed = -1;
    executor.executeAfter(0.1, [&] { elapsed = clock.elapsed(); });
    ASSERT_TRUE(runUntil([&] { return elapsed >= 0; }));
    EXPECT_GE(elapsed, 100);
}

TEST(ThreadTrampoline, WorkRunsOnTheQueueAndTheCompletionAfterItOnTheMainThread) {
    ThreadTrampoline trampoline(std::make_shared<DispatchQueue>(QStringLiteral("TovrinPersistence")));
    std::atomic<bool> workDone{false};
    std::atomic<bool> workOnQueue{false};
    bool completionSawWork = false;
    bool completionOnMain = false;
    trampoline.executeBackgroundThreadBlock(
        [&] {
            workOnQueue = trampoline.queue()->isCurrent();
            workDone = true;
        },
        [&] {
            completionSawWork = workDone;
            completionOnMain = MainQueue::isMainThread();
        });
    ASSERT_TRUE(runUntil([&] { return completionOnMain; }));
    EXPECT_TRUE(workOnQueue);
    EXPECT_TRUE(completionSawWork);
}

TEST(ThreadTrampoline, WithoutACompletionOnlyTheWorkRuns) {
    ThreadTrampoline trampoline(std::make_shared<DispatchQueue>(QStringLiteral("q")));
    std::atomic<int> runs{0};
    trampoline.executeBackgroundThreadBlock([&] { ++runs; });
    trampoline.queue()->sync([] {});
    EXPECT_EQ(runs, 1);
}

TEST(ThreadTrampoline, SerialWorkNeverOverlapsAndCompletionsKeepItsOrder) {
    ThreadTrampoline trampoline(std::make_shared<DispatchQueue>(QStringLiteral("serial")));
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::vector<int> completions;
    for (int i = 0; i < 3; ++i) {
        trampoline.executeBackgroundThreadBlock(
            [&] {
                if (++running > 1) overlapped = true;
                for (int spin = 0; spin < 1000; ++spin) std::this_thread::yield();
                --running;
            },
            [&completions, i] { completions.push_back(i); });
    }
    ASSERT_TRUE(runUntil([&] { return completions.size() == 3; }));
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(completions, (std::vector<int>{0, 1, 2}));
}

TEST(TimerFactory, TimersFireOnTheMainRunLoop) {
    Injector injector;
    injector.bindInstance(InjectorKeyMainRunLoop, RunLoop::main());
    injector.bind<TimerFactory>();
    auto factory = injector.get<TimerFactory>();
    EXPECT_EQ(factory->mainRunLoop(), RunLoop::main());

    int oneShotFired = 0;
    bool onMain = false;
    auto oneShot = factory->timerOnMainRunLoopWithInterval(
        0.01,
        [&](Timer&) {
            ++oneShotFired;
            onMain = MainQueue::isMainThread();
        },
        QVariant(), false);
    int repeatingFired = 0;
    auto repeating = factory->timerOnMainRunLoopWithInterval(
        0.001, [&](Timer&) { ++repeatingFired; }, QVariant(), true);
    ASSERT_TRUE(runUntil([&] { return oneShotFired == 1 && repeatingFired >= 3; }));
    EXPECT_TRUE(onMain);
    EXPECT_FALSE(oneShot->isValid());
    EXPECT_TRUE(repeating->isValid());
    repeating->invalidate();
    const int firedBefore = repeatingFired;
    test::drainMainQueue();
    bool later = false;
    MainQueue::asyncAfter(0.02, [&] { later = true; });
    ASSERT_TRUE(runUntil([&] { return later; }));
    EXPECT_EQ(repeatingFired, firedBefore);
    EXPECT_EQ(oneShotFired, 1);
}

TEST(TimerFactory, AFactoryMadePlainlyUsesTheMainRunLoop) {
    TimerFactory factory;
    bool fired = false;
    auto timer = factory.timerOnMainRunLoopWithInterval(
        0, [&](Timer&) { fired = true; }, QVariant(), false);
    ASSERT_TRUE(runUntil([&] { return fired; }));
}

TEST(Providers, DatesComeFromTheDeviceClockAndUUIDsAreNew) {
    DeviceCurrentDateProvider dates;
    EXPECT_NEAR(dates.currentDate().timeIntervalSince1970(), Date::now().timeIntervalSince1970(), 5);
    UUIDProvider uuids;
    const QString first = uuids.UUIDString();
    const QString second = uuids.UUIDString();
    EXPECT_EQ(first.size(), 36);
    EXPECT_EQ(second.size(), 36);
    EXPECT_NE(first, second);
}

}  // namespace
}  // namespace tovrin
