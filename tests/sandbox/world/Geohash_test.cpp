#include "sandbox/world/Geohash.h"

#include <gtest/gtest.h>

namespace tovrin::sandbox {
namespace {

TEST(GeohashTest, EncodesTheStandardHash) {
    EXPECT_EQ(Geohash::encode({57.64911, 10.40744}, 11), "u4pruydqqvj");
    EXPECT_EQ(Geohash::encode({42.605, -5.603}, 5), "ezs42");
    EXPECT_EQ(Geohash::encode({0, 0}).size(), 12);
}

TEST(GeohashTest, DecodesToTheCentreOfTheCell) {
    const std::optional<Coordinate> cell = Geohash::decode("ezs42");
    ASSERT_TRUE(cell);
    EXPECT_NEAR(cell->latitude, 42.605, 0.03);
    EXPECT_NEAR(cell->longitude, -5.603, 0.03);
    for (const Coordinate position :
         {Coordinate{52.52, 13.405}, Coordinate{-33.8688, 151.2093}, Coordinate{89.9, -179.9}}) {
        const std::optional<Coordinate> decoded = Geohash::decode(Geohash::encode(position));
        ASSERT_TRUE(decoded);
        EXPECT_NEAR(decoded->latitude, position.latitude, 1e-6);
        EXPECT_NEAR(decoded->longitude, position.longitude, 1e-6);
    }
    EXPECT_TRUE(Geohash::decode("EZS42"));
}

TEST(GeohashTest, RefusesWhatIsNoHash) {
    for (const char* hash : {"", "ezs4a", "ezs4i", "ezs4l", "ezs4o", "ezs4!", "ézs42"})
        EXPECT_FALSE(Geohash::decode(QString::fromUtf8(hash))) << hash;
}

TEST(GeohashTest, MeasuresDistancesAlongTheSurface) {
    EXPECT_NEAR(Geohash::distance({52.5200, 13.4050}, {48.8566, 2.3522}), 878000, 5000);
    EXPECT_EQ(Geohash::distance({52.52, 13.405}, {52.52, 13.405}), 0);
}

}  // namespace
}  // namespace tovrin::sandbox
