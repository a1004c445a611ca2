#include "platform/system/GeohashEncoder.h"

#include <gtest/gtest.h>

#include <limits>

namespace tovrin {
namespace {

TEST(GeohashEncoder, KnownPositionsAndTheEdgesOfTheMapGiveTwelveCharacters) {
    struct Case {
        const char* name;
        Coordinate position;
        const char* hash;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"Jutland", {57.64911, 10.40744}, "u4pruydqqvj8"},
        {"0/0", {0, 0}, "s00000000000"},
        {"south pole, -180", {-90, -180}, "000000000000"},
        {"north pole, +180", {90, 180}, "zzzzzzzzzzzz"},
        {"north pole, -180", {90, -180}, "bpbpbpbpbpbp"},
        {"south pole, +180", {-90, 180}, "pbpbpbpbpbpb"},
        {"beyond the map is its edge", {91, 181}, "zzzzzzzzzzzz"},
        {"not a number is the lower edge", {nan, nan}, "000000000000"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(GeohashEncoder::encode(testCase.position), QString::fromLatin1(testCase.hash));
    }
}

TEST(GeohashEncoder, AShorterHashIsAPrefixOfTheLongerOne) {
    EXPECT_EQ(GeohashEncoder::encode({42.605, -5.603}, 5), QStringLiteral("ezs42"));
    EXPECT_TRUE(GeohashEncoder::encode({42.605, -5.603}).startsWith(QStringLiteral("ezs42")));
    EXPECT_EQ(GeohashEncoder::encode({42.605, -5.603}).size(), 12);
    EXPECT_EQ(GeohashEncoder::encode({42.605, -5.603}, 0), QString());
}

}  // namespace
}  // namespace tovrin
