#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Chat/ChatConnectionThrottler.h"
#include "support/FakeTimerFactory.h"
#include "support/FixedRandomValueGenerator.h"

namespace tovrin {
namespace {

class CountingDelegate : public ChatConnectionThrottlerDelegate {
public:
    void chatConnectionThrottlerDelegateReadyToConnect(ChatConnectionThrottler&) override { ++released; }
    int released = 0;
};

struct ThrottlerFixture {
    explicit ThrottlerFixture(double randomValue = 0.5)
        : random(std::make_shared<test::FixedRandomValueGenerator>(randomValue)) {
        throttler.setDelegate(delegate);
    }
    std::shared_ptr<test::FakeTimerFactory> timers = std::make_shared<test::FakeTimerFactory>();
    std::shared_ptr<test::FixedRandomValueGenerator> random;
    std::shared_ptr<CountingDelegate> delegate = std::make_shared<CountingDelegate>();
    ChatConnectionThrottler throttler{timers, random};

    // "s" start, "x" stop, "f" fire every pending timer.
    void run(const std::string& steps) {
        for (const char step : steps) {
            if (step == 's') throttler.startThrottler();
            if (step == 'x') throttler.stopThrottler();
            if (step == 'f') {
                for (const auto& timer : timers->scheduledTimers()) timer->fire();
            }
        }
    }
};

TEST(ChatConnectionThrottler, ReleasesThreeAttemptsAtOnceThenOneAtATimeAfterARandomDelay) {
    struct Case {
        const char* steps;
        int released;
        unsigned attempts;
        size_t pendingTimers;
    };
    const Case cases[] = {
        {"sss", 3, 3, 0},
        {"ssss", 3, 3, 1},
        // A request while one waits adds nothing.
        {"sssss", 3, 3, 1},
        {"ssssf", 4, 3, 0},
        // The count stays: the next request waits again.
        {"ssssfs", 4, 3, 1},
        // A stop with a count of 1 or 2 leaves it there.
        {"ssx", 2, 2, 0},
        {"ssxs", 3, 3, 0},
        {"ssxss", 3, 3, 1},
        {"sxsx", 2, 2, 0},
        // A stop while throttling cancels the waiting attempt and starts afresh.
        {"ssssx", 3, 0, 0},
        {"ssssxf", 3, 0, 0},
        {"ssssxsss", 6, 3, 0},
        {"sssx", 3, 0, 0},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.steps);
        ThrottlerFixture fixture;
        fixture.run(testCase.steps);
        EXPECT_EQ(fixture.delegate->released, testCase.released);
        EXPECT_EQ(fixture.throttler.connectionAttempts(), testCase.attempts);
        EXPECT_EQ(fixture.timers->scheduledTimers().size(), testCase.pendingTimers);
    }
}

TEST(ChatConnectionThrottler, TheDelayIsOnePlusNineTimesTheRandomValue) {
    const std::pair<double, double> cases[] = {{0.0, 1.0}, {0.5, 5.5}, {1.0, 10.0}};
    for (const auto& [randomValue, delay] : cases) {
        SCOPED_TRACE(randomValue);
        ThrottlerFixture fixture(randomValue);
        fixture.run("ssss");
        const auto pending = fixture.timers->scheduledTimers();
        ASSERT_EQ(pending.size(), 1u);
        EXPECT_DOUBLE_EQ(pending.front()->timeInterval(), delay);
        EXPECT_FALSE(pending.front()->repeats());
    }
}

TEST(ChatConnectionThrottler, AGoneDelegateIsNotCalledAndAGoneThrottlerLeavesNoTimer) {
    ThrottlerFixture fixture;
    fixture.run("ssss");
    fixture.delegate.reset();
    fixture.run("f");
    std::weak_ptr<Timer> pending;
    {
        auto timers = std::make_shared<test::FakeTimerFactory>();
        ChatConnectionThrottler throttler(timers, fixture.random);
        for (int request = 0; request < 4; ++request) throttler.startThrottler();
        pending = timers->scheduledTimers().front();
    }
    EXPECT_TRUE(pending.expired());
}

}  // namespace
}  // namespace tovrin
