#include "Helpers/ServerCurrentDateProvider.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/di/Injector.h"
#include "support/FakeClock.h"

namespace tovrin {
namespace {

using test::FakeClock;

class ServerCurrentDateProviderTest : public testing::Test {
protected:
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    ServerCurrentDateProvider provider{clock};
};

TEST_F(ServerCurrentDateProviderTest, AFreshProviderFollowsTheDeviceAndIsValid) {
    EXPECT_EQ(provider.currentServerDate(), clock->now());
    EXPECT_TRUE(provider.isOffsetValid());
    EXPECT_FALSE(provider.cachedDate().has_value());
}

TEST_F(ServerCurrentDateProviderTest, TheServerClockRunsAheadByTheMeasuredOffset) {
    provider.setServerTime(clock->now().addingTimeInterval(120));
    EXPECT_DOUBLE_EQ(provider.serverTimeOffset(), 120);
    clock->setNow(clock->now().addingTimeInterval(10));
    EXPECT_EQ(provider.currentServerDate(), clock->now().addingTimeInterval(120));
}

TEST_F(ServerCurrentDateProviderTest, TheOffsetIsFreshForSixtySecondsEitherWay) {
    const Date measuredAt = clock->now();
    provider.setServerTime(measuredAt.addingTimeInterval(-3600));
    struct Case {
        double deviceMove;
        bool valid;
    };
    for (const Case& testCase : std::vector<Case>{
             {0, true}, {59, true}, {60, true}, {61, false}, {-30, true}, {-60, true}, {-90, false}}) {
        clock->setNow(measuredAt.addingTimeInterval(testCase.deviceMove));
        EXPECT_EQ(provider.isOffsetValid(), testCase.valid) << testCase.deviceMove;
    }
}

TEST_F(ServerCurrentDateProviderTest, ANewMeasurementRestartsTheSixtySeconds) {
    const Date first = clock->now();
    provider.setServerTime(first);
    clock->setNow(first.addingTimeInterval(59));
    provider.setServerTime(clock->now().addingTimeInterval(5));
    clock->setNow(first.addingTimeInterval(119));
    EXPECT_TRUE(provider.isOffsetValid());
    clock->setNow(first.addingTimeInterval(120));
    EXPECT_FALSE(provider.isOffsetValid());
}

// Only a time of the years 2000 to 2100 is a reading of the server's clock; any other keeps the
// offset and the freshness of the last one.
TEST_F(ServerCurrentDateProviderTest, AServerTimeOutsideTheYears2000To2100IsIgnored) {
    const Date measuredAt = clock->now();
    const Date serverNow = measuredAt.addingTimeInterval(120);
    provider.setServerTime(serverNow);
    struct Case {
        const char* name;
        double seconds;
        bool taken;
    };
    const double infinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"1970", 0, false},
        {"negative", -1'000, false},
        {"1999-12-31 23:59:59", 946'684'799, false},
        {"2000-01-01 00:00", 946'684'800, true},
        {"2100-12-31 23:59:59", 4'133'980'799, true},
        {"2101-01-01 00:00", 4'133'980'800, false},
        {"1e300", 1e300, false},
        {"-1e300", -1e300, false},
        {"infinity", infinity, false},
        {"-infinity", -infinity, false},
        {"NaN", std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        provider.setServerTime(serverNow);
        provider.setServerTime(Date(testCase.seconds));
        if (testCase.taken) {
            EXPECT_EQ(provider.cachedDate(), Date(testCase.seconds));
            EXPECT_DOUBLE_EQ(provider.serverTimeOffset(),
                             testCase.seconds - measuredAt.timeIntervalSince1970());
        } else {
            EXPECT_EQ(provider.cachedDate(), serverNow);
            EXPECT_DOUBLE_EQ(provider.serverTimeOffset(), 120);
            EXPECT_EQ(provider.currentServerDate(), serverNow);
            EXPECT_TRUE(provider.isOffsetValid());
        }
    }
}

// The offset is the server time less the device time at which the answer carrying it arrived: an
// answer read later (held in a cache) gives the same offset, and is as fresh as its arrival.
TEST_F(ServerCurrentDateProviderTest, TheOffsetCountsFromTheAnswersArrival) {
    const Date arrival = clock->now();
    clock->advance(45);
    provider.setServerTime(arrival.addingTimeInterval(100), arrival);
    EXPECT_DOUBLE_EQ(provider.serverTimeOffset(), 100);
    EXPECT_EQ(provider.currentServerDate(), clock->now().addingTimeInterval(100));
    EXPECT_TRUE(provider.isOffsetValid());
    clock->setNow(arrival.addingTimeInterval(61));
    EXPECT_FALSE(provider.isOffsetValid());
}

TEST(ServerCurrentDateProvider, TheContainerBuildsItWithTheDeviceClock) {
    Injector injector;
    auto clock = std::make_shared<FakeClock>();
    injector.bindInstance<DeviceCurrentDateProvider>(clock);
    injector.bind<ServerCurrentDateProvider>();
    auto provider = injector.get<ServerCurrentDateProvider>();
    EXPECT_EQ(provider->currentDateProvider(), clock);
}

}  // namespace
}  // namespace tovrin
