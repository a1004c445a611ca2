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

// An entry that names no member is no user: the reader gives nothing and a list skips it.
TEST_F(NearbyUserJSONMapperTest, AnEntryWithoutAUsableProfileIdIsSkipped) {
    struct Case {
        const char* json;
        std::optional<QString> profileID;  // nothing: skipped
    };
    const Case cases[] = {
        {R"({"profileId": "a/b", "displayName": "Ann"})", "a/b"},
        {R"({"profileId": 42})", "42"},
        {R"({"profileId": 0})", "0"},
        {R"({})", std::nullopt},
        {R"({"displayName": "Ann", "isFavorite": true})", std::nullopt},
        {R"({"profileId": null})", std::nullopt},
        {R"({"profileId": ""})", std::nullopt},
        {R"({"profileId": "  "})", std::nullopt},
        {R"({"profileId": 1.5})", std::nullopt},
        {R"({"profileId": -7})", std::nullopt},
        {R"({"profileId": 1e300})", std::nullopt},
        {R"({"profileId": true})", std::nullopt},
        {R"({"profileId": {"id": 1}})", std::nullopt},
        {R"({"profileId": [1]})", std::nullopt},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.json);
        const auto user = read(testCase.json);
        EXPECT_EQ(user ? std::optional(user->profileID()) : std::nullopt, testCase.profileID);
    }
}

TEST_F(NearbyUserJSONMapperTest, AFavouriteFlagGivenAsANumberReadsAsABoolean) {
    struct Case {
        const char* isFavorite;  // nullptr: no member
        bool favorite;
    };
    const Case cases[] = {{"true", true},  {"false", false}, {"1", true},      {"0", false},
                          {"null", false}, {"2", true},      {"\"1\"", false}, {nullptr, false}};
    for (const Case& testCase : cases) {
        const QByteArray json = testCase.isFavorite ? QByteArray(R"({"profileId": "1", "isFavorite": )") +
                                                          testCase.isFavorite + "}"
                                                    : QByteArray(R"({"profileId": "1"})");
        SCOPED_TRACE(json.toStdString());
        const auto user = read(json.constData());
        ASSERT_NE(user, nullptr);
        EXPECT_EQ(user->isFavorite(), testCase.favorite);
    }
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
