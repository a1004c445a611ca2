#include "platform/foundation/Timer.h"

#include <gtest/gtest.h>

#include "platform/foundation/MainQueue.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using test::runUntil;

TEST(Timer, AOneShotTimerFiresOnceOnTheMainThreadAndIsThenInvalid) {
    int fired = 0;
    bool onMain = false;
    QVariant seenUserInfo;
    auto timer = std::make_shared<Timer>(0.01, false, QVariant(QStringLiteral("info")), [&](Timer& timer) {
        ++fired;
        onMain = MainQueue::isMainThread();
        seenUserInfo = timer.userInfo();
    });
    RunLoop::main()->addTimer(*timer);
    EXPECT_TRUE(timer->isValid());
    ASSERT_TRUE(runUntil([&] { return fired == 1; }));
    EXPECT_TRUE(onMain);
    EXPECT_EQ(seenUserInfo.toString(), "info");
    EXPECT_FALSE(timer->isValid());
    bool later = false;
    MainQueue::asyncAfter(0.05, [&] { later = true; });
    ASSERT_TRUE(runUntil([&] { return later; }));
    EXPECT_EQ(fired, 1);
}

TEST(Timer, ARepeatingTimerFiresUntilInvalidated) {
    int fired = 0;
    auto timer = std::make_shared<Timer>(0.001, true, QVariant(), [&](Timer& timer) {
        if (++fired == 3) timer.invalidate();
    });
    timer->schedule();
    ASSERT_TRUE(runUntil([&] { return fired == 3; }));
    EXPECT_FALSE(timer->isValid());
    bool later = false;
    MainQueue::asyncAfter(0.03, [&] { later = true; });
    ASSERT_TRUE(runUntil([&] { return later; }));
    EXPECT_EQ(fired, 3);
}

// Timers are owner-held by design: nothing but its owner keeps a scheduled timer, so its action
// never reaches an owner that is gone. Every class that schedules one keeps it.
TEST(Timer, LettingGoOfTheTimerInvalidatesItWhileAKeptOneFires) {
    int fired = 0;
    auto timer = std::make_shared<Timer>(0.001, true, QVariant(), [&](Timer&) { ++fired; });
    timer->schedule();
    timer.reset();
    bool keptFired = false;
    auto kept = std::make_shared<Timer>(0.03, false, QVariant(), [&](Timer&) { keptFired = true; });
    kept->schedule();
    ASSERT_TRUE(runUntil([&] { return keptFired; }));
    EXPECT_EQ(fired, 0);
}

TEST(Timer, TheActionMayDropTheLastReferenceToItsTimer) {
    int fired = 0;
    std::shared_ptr<Timer> timer;
    timer = std::make_shared<Timer>(0.001, true, QVariant(), [&](Timer&) {
        ++fired;
        timer.reset();
    });
    timer->schedule();
    ASSERT_TRUE(runUntil([&] { return fired == 1 && !timer; }));
}

TEST(Timer, FireRunsTheActionAtOnceAndEndsAOneShotTimer) {
    int fired = 0;
    Timer oneShot(60, false, QVariant(), [&](Timer&) { ++fired; });
    oneShot.schedule();
    oneShot.fire();
    oneShot.fire();
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(oneShot.isValid());

    Timer repeating(60, true, QVariant(), [&](Timer&) { ++fired; });
    repeating.fire();
    repeating.fire();
    EXPECT_EQ(fired, 3);
    EXPECT_TRUE(repeating.isValid());
}

}  // namespace
}  // namespace tovrin
