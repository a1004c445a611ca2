#include <gtest/gtest.h>

#include "API/MinMax.h"
#include "API/NearbyUser.h"

namespace tovrin {
namespace {

TEST(NearbyUser, AMissingDisplayNameIsTheEmptyText) {
    const NearbyUser user("1", std::nullopt, "hash", 30, Date(5), 10.5, true, true);
    EXPECT_EQ(user.displayName(), "");
    EXPECT_FALSE(user.displayName().isNull());
    const auto copy = user.copyWithMediaHash(std::nullopt);
    EXPECT_EQ(copy->displayName(), "");
    EXPECT_FALSE(copy->mediaHash());
}

TEST(NearbyUser, ACopyWithAnotherPhotoKeepsEveryOtherValueAndTheOnlineFlag) {
    const NearbyUser user("1", "Ann", "old", 30, Date(5), 10.5, true, true);
    const auto copy = user.copyWithMediaHash("new");
    EXPECT_EQ(copy->profileID(), "1");
    EXPECT_EQ(copy->displayName(), "Ann");
    EXPECT_EQ(copy->mediaHash(), "new");
    EXPECT_EQ(copy->age(), 30);
    EXPECT_EQ(copy->lastSeen(), Date(5));
    EXPECT_EQ(copy->distance(), 10.5);
    EXPECT_TRUE(copy->isFavorite());
    EXPECT_TRUE(copy->isOnline());
    EXPECT_EQ(user.mediaHash(), "old");
}

TEST(MinMax, OnlyTheSentinelMarksAnOpenEnd) {
    EXPECT_EQ(MinMaxUnbounded, -3.4028234663852886e+38);
    const MinMax open;
    EXPECT_EQ(open.min(), MinMaxUnbounded);
    EXPECT_EQ(open.max(), MinMaxUnbounded);
    for (const double bound : {-1.7976931348623157e308, -3.4028234663852884e+38, 0.0, 1e300}) {
        const MinMax range(bound, MinMaxUnbounded);
        EXPECT_NE(range.min(), MinMaxUnbounded) << bound;
        EXPECT_EQ(range.max(), MinMaxUnbounded);
    }
}

}  // namespace
}  // namespace tovrin
