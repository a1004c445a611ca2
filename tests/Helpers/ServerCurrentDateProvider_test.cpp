#include "Helpers/ServerCurrentDateProvider.h"

#include <gtest/gtest.h>

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
