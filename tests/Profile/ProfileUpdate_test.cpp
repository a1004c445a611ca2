#include <gtest/gtest.h>

#include "Profile/FullProfile.h"
#include "Profile/ProfileTestSupport.h"
#include "Profile/ProfileUpdate.h"
#include "Profile/ProfileUpdateBuilder.h"
#include "platform/foundation/JSON.h"

namespace tovrin {
namespace {

using Fields = std::vector<ManagedField>;
using Networks = std::vector<SocialNetwork>;

ProfileUpdate emptyUpdate() {
    return ProfileUpdate(std::nullopt, std::nullopt, 0, false, false, std::nullopt, {}, std::nullopt, {},
                         std::nullopt, std::nullopt, std::nullopt, {});
}

ProfileUpdate filledUpdate() {
    return ProfileUpdate("Ann", "Hello\nthere", 34, true, true, ManagedField(7, "White"),
                         Fields{{5, "Networking"}, {2, "Chat"}}, ManagedField(3, "Exclusive"),
                         Fields{{3, "Daddy"}, {8, "Otter"}}, ManagedField(4, "Muscular"), 180.5, 75000,
                         Networks{{"ann_t", SocialNetworkTypeTwitter},
                                  {"ann_f", SocialNetworkTypeFacebook},
                                  {"ann_i", SocialNetworkTypeInstagram}});
}

QJsonObject parsed(const char* json) {
    const auto value = JSON::parse(QByteArray(json));
    EXPECT_TRUE(value && value->isObject()) << json;
    return value ? value->toObject() : QJsonObject();
}

QJsonObject body(const ProfileUpdate& update) {
    return ProfileUpdateBuilder(update).profileUpdateJSONParameters();
}

TEST(ProfileUpdateBuilder, TheBodyKeepsTheServicesContract) {
    struct Case {
        const char* name;
        std::function<void(ProfileUpdate&)> change;
        const char* expected;
    };
    const Case cases[] = {
        {"nothing set", [](ProfileUpdate&) {},
         R"({"age": 0, "showAge": false, "showDistance": 0, "ethnicity": null, "lookingFor": [],
             "relationshipStatus": null, "tovrinTribes": [], "bodyType": null, "height": null, "weight": null,
             "socialNetworks": {}})"},
        {"show distance on, show age off",
         [](ProfileUpdate& update) {
             update.setShowDistance(true);
             update.setShowAge(false);
             update.setAge(19);
         },
         R"({"age": 19, "showAge": false, "showDistance": 1, "ethnicity": null, "lookingFor": [],
             "relationshipStatus": null, "tovrinTribes": [], "bodyType": null, "height": null, "weight": null,
             "socialNetworks": {}})"},
        // A later handle of a type replaces an earlier one; one without a user id is left out.
        {"handles",
         [](ProfileUpdate& update) {
             update.setSocialNetworks(Networks{{"a", SocialNetworkTypeTwitter},
                                               {"b", SocialNetworkTypeInstagram},
                                               {std::nullopt, SocialNetworkTypeFacebook},
                                               {"c", SocialNetworkTypeUnknown},
                                               {"d", SocialNetworkTypeUnknown}});
         },
         R"({"age": 0, "showAge": false, "showDistance": 0, "ethnicity": null, "lookingFor": [],
             "relationshipStatus": null, "tovrinTribes": [], "bodyType": null, "height": null, "weight": null,
             "socialNetworks": {"twitter": {"userId": "a"}, "instagram": {"userId": "b"},
                                "unknown": {"userId": "d"}}})"},
        {"empty texts are sent",
         [](ProfileUpdate& update) {
             update.setDisplayName("");
             update.setAboutMe("");
         },
         R"({"displayName": "", "aboutMe": "", "age": 0, "showAge": false, "showDistance": 0, "ethnicity": null,
             "lookingFor": [], "relationshipStatus": null, "tovrinTribes": [], "bodyType": null, "height": null,
             "weight": null, "socialNetworks": {}})"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ProfileUpdate update = emptyUpdate();
        testCase.change(update);
        EXPECT_EQ(body(update), parsed(testCase.expected));
    }
}

TEST(ProfileUpdateBuilder, AFilledUpdateSendsEveryValue) {
    const QJsonObject sent = body(filledUpdate());

    EXPECT_EQ(sent, parsed(R"({"displayName": "Ann", "aboutMe": "Hello\nthere", "age": 34, "showAge": true,
                                "showDistance": 1, "ethnicity": 7, "lookingFor": [5, 2], "relationshipStatus": 3,
                                "tovrinTribes": [3, 8], "bodyType": 4, "height": 180.5, "weight": 75000,
                                "socialNetworks": {"twitter": {"userId": "ann_t"}, "facebook": {"userId": "ann_f"},
                                                   "instagram": {"userId": "ann_i"}}})"));
    // Flags keep their JSON types: the service reads "showDistance" as a number.
    EXPECT_TRUE(sent.value("showAge").isBool());
    EXPECT_TRUE(sent.value("showDistance").isDouble());
}

TEST(ProfileUpdateBuilder, SettersReplaceOrRemoveTheirMember) {
    ProfileUpdateBuilder builder(filledUpdate());
    builder.setDisplayName(std::nullopt);
    builder.setAboutMe(std::nullopt);
    builder.setHeight(std::nullopt);
    builder.setBodyType(std::nullopt);
    builder.setTovrinTribes({});

    const QJsonObject sent = builder.profileUpdateJSONParameters();
    EXPECT_FALSE(sent.contains("displayName"));
    EXPECT_FALSE(sent.contains("aboutMe"));
    EXPECT_EQ(sent.value("height"), QJsonValue(QJsonValue::Null));
    EXPECT_EQ(sent.value("bodyType"), QJsonValue(QJsonValue::Null));
    EXPECT_EQ(sent.value("tovrinTribes"), QJsonArray());
    EXPECT_EQ(sent.value("weight"), 75000);
}

TEST(FullProfile, AnAppliedUpdateKeepsTheGridRecordsOwnValuesAndTakesTheRestFromTheUpdate) {
    const Date seen(1'700'000'000);
    auto oldUser = std::make_shared<NearbyUser>("42", "Old name", "hash-1", 30, seen, 250.0, true, true);
    auto oldAttributes = std::make_shared<ExtendedProfileAttributes>(
        "old text", false, false, 170.0, 60000.0, ManagedField(1, "Toned"), ManagedField(1, "Asian"),
        ManagedField(1, "Single"), Fields{{3, "Dates"}}, Fields{{1, "Bear"}},
        Networks{{"old", SocialNetworkTypeTwitter}});
    const FullProfile profile(oldUser, oldAttributes);
    ProfileUpdate update = filledUpdate();
    update.setWeightInGrams(std::nullopt);
    update.setEthnicity(std::nullopt);

    const std::shared_ptr<FullProfile> applied = profile.updateFullProfileWithProfileUpdate(update);

    const NearbyUser& user = *applied->nearbyUser();
    EXPECT_EQ(user.profileID(), "42");
    EXPECT_EQ(user.mediaHash(), "hash-1");
    EXPECT_EQ(user.lastSeen(), seen);
    EXPECT_EQ(user.distance(), 250.0);
    EXPECT_TRUE(user.isFavorite());
    EXPECT_TRUE(user.isOnline());
    EXPECT_EQ(user.displayName(), "Ann");
    EXPECT_EQ(user.age(), 34);
    const ExtendedProfileAttributes& attributes = *applied->extendedProfileAttributes();
    EXPECT_EQ(attributes.aboutMe(), "Hello\nthere");
    EXPECT_EQ(attributes.showAge(), true);
    EXPECT_EQ(attributes.showDistance(), true);
    EXPECT_EQ(attributes.heightInCm(), 180.5);
    EXPECT_EQ(attributes.weightInGrams(), std::nullopt);
    EXPECT_EQ(attributes.bodyType(), ManagedField(4, "Muscular"));
    EXPECT_EQ(attributes.ethnicity(), std::nullopt);
    EXPECT_EQ(attributes.relationshipStatus(), ManagedField(3, "Exclusive"));
    EXPECT_EQ(attributes.lookingFor(), (Fields{{5, "Networking"}, {2, "Chat"}}));
    EXPECT_EQ(attributes.tribes(), (Fields{{3, "Daddy"}, {8, "Otter"}}));
    EXPECT_EQ(attributes.socialNetworks()->size(), 3u);
    // The profile it was applied to is unchanged.
    EXPECT_EQ(profile.nearbyUser(), oldUser);
    EXPECT_EQ(oldUser->displayName(), "Old name");
    EXPECT_EQ(profile.extendedProfileAttributes()->aboutMe(), "old text");
}

}  // namespace
}  // namespace tovrin
