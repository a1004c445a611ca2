#include "Cascade/NearbyUserJSONMapper.h"

#include <gtest/gtest.h>

#include "platform/foundation/JSON.h"
#include "support/FakeClock.h"

namespace tovrin {
namespace {

class NearbyUserJSONMapperTest : public testing::Test {
protected:
    std::shared_ptr<test::FakeClock> clock = std::make_shared<test::FakeClock>(Date(1'700'000'000));
    NearbyUserJSONMapper mapper{clock};
    const double nowMilliseconds = 1'700'000'000'000.0;

    std::shared_ptr<NearbyUser> read(const char* json) {
        return mapper.nearbyUserWithJSONDictionary(JSON::parse(json)->toObject());
    }
};

TEST_F(NearbyUserJSONMapperTest, OnlineMeansSeenAtMostTenMinutesBeforeTheDeviceClock) {
    struct Case {
        QJsonValue seen;
        bool online;
        std::optional<Date> lastSeen;
    };
    const Case cases[] = {
        {nowMilliseconds - 600'000, true, Date(1'700'000'000 - 600)},
        {nowMilliseconds - 600'001, false, Date::fromMillisecondsSince1970(nowMilliseconds - 600'001)},
        {nowMilliseconds + 5'000, true, Date(1'700'000'005)},
        {QJsonValue::Null, false, std::nullopt},
        {QJsonValue::Undefined, false, std::nullopt},
        {1'500.75, false, Date(1.5)},
    };
    for (const Case& testCase : cases) {
        QJsonObject json{{"profileId", "1"}};
        if (!testCase.seen.isUndefined()) json.insert("seen", testCase.seen);
        const auto user = mapper.nearbyUserWithJSONDictionary(json);
        EXPECT_EQ(user->isOnline(), testCase.online) << testCase.seen.toDouble();
        EXPECT_EQ(user->lastSeen(), testCase.lastSeen) << testCase.seen.toDouble();
    }
}

TEST_F(NearbyUserJSONMapperTest, ProfileIdsBecomeText) {
    EXPECT_EQ(read(R"({"profileId": 123})")->profileID(), "123");
    EXPECT_EQ(read(R"({"profileId": "123"})")->profileID(), "123");
    EXPECT_EQ(read(R"({"profileId": 98765432101})")->profileID(), "98765432101");
}

TEST_F(NearbyUserJSONMapperTest, NullOrMissingMembersReadAsAbsent) {
    const auto user = read(
        R"({"profileId": "1", "displayName": null, "profileImageMediaHash": null, "age": null, "distance": null})");
    EXPECT_EQ(user->displayName(), "");
    EXPECT_FALSE(user->mediaHash());
    EXPECT_FALSE(user->age());
    EXPECT_FALSE(user->distance());
    EXPECT_FALSE(user->isFavorite());
    const auto full = read(
        R"({"profileId": "1", "displayName": "Ann", "profileImageMediaHash": "h", "age": 30, "distance": 12.5,
            "isFavorite": true})");
    EXPECT_EQ(full->displayName(), "Ann");
    EXPECT_EQ(full->mediaHash(), "h");
    EXPECT_EQ(full->age(), 30);
    EXPECT_EQ(full->distance(), 12.5);
    EXPECT_TRUE(full->isFavorite());
}

TEST_F(NearbyUserJSONMapperTest, WritingGivesTheSevenMembersWithNullForAbsentValues) {
    const NearbyUser user("7", "Bo", std::nullopt, std::nullopt, std::nullopt, std::nullopt, false, true);
    const QJsonObject json = mapper.JSONDictionaryWithNearbyUser(user);
    EXPECT_EQ(json, (QJsonObject{{"profileId", "7"},
                                 {"displayName", "Bo"},
                                 {"profileImageMediaHash", QJsonValue::Null},
                                 {"age", QJsonValue::Null},
                                 {"seen", QJsonValue::Null},
                                 {"distance", QJsonValue::Null},
                                 {"isFavorite", false}}));
    // A user never seen does not come back as seen in 1970.
    const auto back = mapper.nearbyUserWithJSONDictionary(json);
    EXPECT_FALSE(back->lastSeen());
    EXPECT_FALSE(back->isOnline());
}

TEST_F(NearbyUserJSONMapperTest, AnOnlineUserReadsBackOnlineOnlyWhileItsSeenIsRecent) {
    const NearbyUser user("7", "Bo", "h", 40, clock->now().addingTimeInterval(-100.25), 3.5, true, true);
    const QJsonObject json = mapper.JSONDictionaryWithNearbyUser(user);
    EXPECT_DOUBLE_EQ(json["seen"].toDouble(), nowMilliseconds - 100'250);
    EXPECT_TRUE(mapper.nearbyUserWithJSONDictionary(json)->isOnline());
    clock->advance(501);
    EXPECT_FALSE(mapper.nearbyUserWithJSONDictionary(json)->isOnline());
}

}  // namespace
}  // namespace tovrin
