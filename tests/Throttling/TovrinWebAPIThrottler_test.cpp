#include "Throttling/TovrinWebAPIThrottler.h"

#include <gtest/gtest.h>

#include <thread>

#include "Helpers/DeviceCurrentDateProvider.h"
#include "Throttling/RandomValueGenerator.h"
#include "Throttling/ThrottledService.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

class FakeClock : public DeviceCurrentDateProvider {
public:
    Date currentDate() const override { return now; }
    Date now{1'000'000};
};

class FixedRandomValue : public RandomValueGenerator {
public:
    double randomValue() const override { return value; }
    double value = 0.5;
};

struct ThrottlerFixture {
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<FixedRandomValue> random = std::make_shared<FixedRandomValue>();
    std::shared_ptr<TovrinWebAPIThrottler> throttler = std::make_shared<TovrinWebAPIThrottler>(clock, random);
    const Date start = clock->now;

    void at(double seconds) { clock->now = start.addingTimeInterval(seconds); }
};

const ThrottleActionKey Key = QStringLiteral("Login");

TEST(TovrinWebAPIThrottler, RefusesFromTheThirdServerErrorOfARunForTheDrawnInterval) {
    struct Case {
        const char* name;
        std::vector<double> failures;  // seconds of each server error
        double random;
        double askedAt;
        bool refused;
    };
    const Case cases[] = {
        {"two errors", {0, 30}, 0.5, 31, false},
        {"third within 60 s of the second", {0, 30, 89}, 0.5, 90, true},
        {"third 60 s after the second starts again", {0, 30, 90}, 0.5, 91, false},
        {"a run long ago", {0, 1, 2}, 1.0, 70, false},
        {"random 0: refused for 1 s", {0, 1, 2}, 0.0, 2.999, true},
        {"random 0: open at the deny end", {0, 1, 2}, 0.0, 3, false},
        {"random 1: refused for 10 s", {0, 1, 2}, 1.0, 11.999, true},
        {"random 1: open at the deny end", {0, 1, 2}, 1.0, 12, false},
        {"a fourth error draws a new interval", {0, 1, 2, 20}, 1.0, 29, true},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ThrottlerFixture fixture;
        fixture.random->value = testCase.random;
        for (const double second : testCase.failures) {
            fixture.at(second);
            fixture.throttler->actionDidFail(Key);
        }
        fixture.at(testCase.askedAt);
        EXPECT_EQ(fixture.throttler->shouldThrottleAction(Key), testCase.refused);
    }
}

TEST(TovrinWebAPIThrottler, CountsRunsAndClearsOnSuccess) {
    ThrottlerFixture fixture;
    for (const double second : {0.0, 30.0, 89.0}) {
        fixture.at(second);
        fixture.throttler->actionDidFail(Key);
    }
    const ThrottleActionState state = fixture.throttler->throttleActionStateForKey(Key);
    EXPECT_EQ(state.failureCount(), 3u);
    EXPECT_EQ(state.lastFailureDate(), fixture.start.addingTimeInterval(89));
    EXPECT_DOUBLE_EQ(state.intervalToDeny(), 5.5);
    EXPECT_EQ(fixture.throttler->currentFailureCountForThrottleActionState(state), 3u);
    fixture.at(149);  // exactly 60 s later
    EXPECT_EQ(fixture.throttler->currentFailureCountForThrottleActionState(state), 0u);
    EXPECT_EQ(fixture.throttler->currentFailureCountForThrottleActionState(ThrottleActionState()), 0u);

    fixture.at(90);
    fixture.throttler->actionDidSucceed(Key);
    EXPECT_EQ(fixture.throttler->throttleActionStateForKey(Key).failureCount(), 0u);
    fixture.throttler->actionDidFail(Key);
    fixture.throttler->actionDidFail(Key);
    EXPECT_FALSE(fixture.throttler->shouldThrottleAction(Key));
}

TEST(TovrinWebAPIThrottler, KeysAreApart) {
    ThrottlerFixture fixture;
    const ThrottleActionKey classKey = std::type_index(typeid(ThrottlerFixture));
    const ThrottleActionKey sameName = QStringLiteral("ThrottlerFixture");
    for (int i = 0; i < 3; ++i) fixture.throttler->actionDidFail(classKey);
    EXPECT_TRUE(fixture.throttler->shouldThrottleAction(classKey));
    EXPECT_FALSE(fixture.throttler->shouldThrottleAction(sameName));
    EXPECT_FALSE(fixture.throttler->shouldThrottleAction(Key));
}

TEST(TovrinWebAPIThrottler, FailuresFromManyThreadsAllCount) {
    ThrottlerFixture fixture;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            for (int j = 0; j < 100; ++j) fixture.throttler->actionDidFail(Key);
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(fixture.throttler->throttleActionStateForKey(Key).failureCount(), 800u);
}

TEST(TovrinWebAPIThrottler, TheRetryIntervalLiesBetweenOneAndTenSeconds) {
    ThrottlerFixture fixture;
    for (const auto& [random, interval] : {std::pair{0.0, 1.0}, {0.5, 5.5}, {1.0, 10.0}}) {
        fixture.random->value = random;
        EXPECT_DOUBLE_EQ(fixture.throttler->randomRetryInterval(), interval);
    }
    const RandomValueGenerator generator;
    for (int i = 0; i < 100; ++i) {
        const double value = generator.randomValue();
        EXPECT_GE(value, 0.0);
        EXPECT_LE(value, 1.0);
    }
}

class WrappedCallTest : public testing::Test {
protected:
    ThrottlerFixture fixture;
    int calls = 0;

    Promise<int> call(const std::optional<Error>& failure) {
        auto promise =
            ThrottledService::wrappedThrottledPromiseWithThrottler<int>(fixture.throttler, Key, [&] {
                ++calls;
                return failure ? Promise<int>::rejected(*failure) : Promise<int>::resolved(7);
            });
        EXPECT_TRUE(test::waitFor(promise));
        return promise;
    }
};

TEST_F(WrappedCallTest, OnlyServerErrorsCountAndAnySuccessClears) {
    for (const qint64 code : {16, 1, 5, 10}) call(tovrinServiceError(code));
    call(Error("OtherDomain", 12));
    EXPECT_EQ(fixture.throttler->throttleActionStateForKey(Key).failureCount(), 0u);

    call(tovrinServiceError(12));
    call(tovrinServiceError(12));
    EXPECT_EQ(call(std::nullopt).value(), 7);
    EXPECT_EQ(fixture.throttler->throttleActionStateForKey(Key).failureCount(), 0u);

    for (int i = 0; i < 3; ++i) EXPECT_EQ(*call(tovrinServiceError(12)).error(), tovrinServiceError(12));
    const int callsBefore = calls;
    const auto refused = call(std::nullopt);
    EXPECT_EQ(*refused.error(), tovrinServiceError(TovrinServiceErrorThrottled));
    EXPECT_EQ(calls, callsBefore);
    EXPECT_EQ(fixture.throttler->throttleActionStateForKey(Key).failureCount(),
              3u);  // a refusal does not count
}

TEST_F(WrappedCallTest, TheCallersContinuationsRunAfterTheBookkeeping) {
    for (int i = 0; i < 2; ++i) call(tovrinServiceError(12));
    auto third = ThrottledService::wrappedThrottledPromiseWithThrottler<void>(
        fixture.throttler, Key, [] { return Promise<void>::rejected(tovrinServiceError(12)); });
    std::optional<bool> refusedWhenSeen;
    third.catchError([&](const Error&) { refusedWhenSeen = fixture.throttler->shouldThrottleAction(Key); });
    ASSERT_TRUE(test::runUntil([&] { return refusedWhenSeen.has_value(); }));
    EXPECT_TRUE(*refusedWhenSeen);
}

}  // namespace
}  // namespace tovrin
