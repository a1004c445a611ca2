#include <QJsonArray>

#include "Cascade/NearbyUserJSONMapper.h"
#include "sandbox/SandboxTestSupport.h"

namespace tovrin {
namespace {

using test::SandboxTest;

class ProfileEndpointsTest : public SandboxTest {
protected:
    QJsonArray profilesOf(const QString& profileID) {
        return answerOf(sendSignedIn(
                            TovrinAPIRequest::GETRequestWithPath("/v3/profiles/" + profileID, std::nullopt)))
            .value("profiles")
            .toArray();
    }

    Promise<QJsonValue> update(const QJsonObject& body) {
        return sendSignedIn(TovrinAPIRequest::PUTRequestWithPath("/v3/me/profile", std::nullopt, body));
    }

    QJsonArray systemMessages() {
        return answerOf(
                   sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/systemMessages", std::nullopt)))
            .value("systemMessages")
            .toArray();
    }
};

TEST_F(ProfileEndpointsTest, AProfileComesWithTheGridRecordAndTheExtendedAttributes) {
    signInAsDemoMember();
    const QJsonArray profiles = profilesOf("100010");
    ASSERT_EQ(profiles.size(), 1);
    const QJsonObject profile = profiles[0].toObject();
    const auto user = NearbyUserJSONMapper(std::make_shared<DeviceCurrentDateProvider>())
                          .nearbyUserWithJSONDictionary(profile);
    EXPECT_EQ(user->profileID(), "100010");
    EXPECT_FALSE(user->displayName().isEmpty());
    for (const char* member :
         {"aboutMe", "showAge", "showDistance", "height", "weight", "bodyType", "ethnicity",
          "relationshipStatus", "lookingFor", "tovrinTribes", "socialNetworks"}) {
        EXPECT_TRUE(profile.contains(QLatin1String(member))) << member;
    }
    EXPECT_TRUE(profile.value("showAge").isBool());
    EXPECT_TRUE(profile.value("lookingFor").isArray());
    EXPECT_TRUE(profile.value("socialNetworks").isObject());

    // A profile that is not there, or of a blocked member, is an empty list: the client's code 11.
    EXPECT_TRUE(profilesOf("999999").isEmpty());
    answerOf(sendSignedIn(
        TovrinAPIRequest::POSTRequestWithPath("/v3/me/blocks/100010", std::nullopt, std::nullopt)));
    EXPECT_TRUE(profilesOf("100010").isEmpty());
}

TEST_F(ProfileEndpointsTest, TheOwnProfileReadsBackAsUpdated) {
    const test::SignedInMember demo = signInAsDemoMember();
    // The body as the client's profile update builder writes it.
    const QJsonObject body{
        {"displayName", "Robin"},
        {"aboutMe", "Cook and cyclist."},
        {"age", 33},
        {"showAge", false},
        {"showDistance", 1},
        {"ethnicity", 3},
        {"lookingFor", QJsonArray{2, 5}},
        {"relationshipStatus", QJsonValue::Null},
        {"tovrinTribes", QJsonArray{}},
        {"bodyType", 4},
        {"height", 182},
        {"weight", QJsonValue::Null},
        {"socialNetworks",
         QJsonObject{{"twitter", QJsonObject{{"userId", "a"}}}, {"instagram", QJsonObject{{"userId", "b"}}}}},
    };
    EXPECT_TRUE(answerOf(update(body)).isEmpty());
    const QJsonObject own = profilesOf(demo.profileID)[0].toObject();
    for (const char* member :
         {"displayName", "aboutMe", "age", "showAge", "ethnicity", "lookingFor", "relationshipStatus",
          "tovrinTribes", "bodyType", "height", "weight", "socialNetworks"}) {
        EXPECT_EQ(own.value(QLatin1String(member)), body.value(QLatin1String(member))) << member;
    }
    EXPECT_EQ(own.value("showDistance"), true);

    // Others no longer see the age.
    signIn("member100010@tovrin.test");
    EXPECT_TRUE(profilesOf(demo.profileID)[0].toObject().value("age").isNull());
    EXPECT_EQ(errorCodeOf(update(QJsonObject{{"displayName", ""}})), TovrinServiceErrorGeneric);
}

TEST_F(ProfileEndpointsTest, BannedWordsAreCensoredAndTheMemberToldOnce) {
    const test::SignedInMember demo = signInAsDemoMember();
    answerOf(update(QJsonObject{{"aboutMe", "No spam, please."}}));
    EXPECT_EQ(profilesOf(demo.profileID)[0].toObject().value("aboutMe"), "No ***, please.");
    const QJsonArray notices = systemMessages();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].toObject().value("type"), "ProfileDetailsModerated");
    EXPECT_FALSE(notices[0].toObject().value("messageId").toString().isEmpty());
    EXPECT_TRUE(systemMessages().isEmpty());
}

TEST_F(ProfileEndpointsTest, AReportIsKeptAndNeedsAReason) {
    const test::SignedInMember demo = signInAsDemoMember();
    const QJsonObject report{{"reason", 4}, {"comment", ""}};
    EXPECT_TRUE(answerOf(sendSignedIn(
                             TovrinAPIRequest::POSTRequestWithPath("/v3/flags/100010", std::nullopt, report)))
                    .isEmpty());
    const QJsonArray reports =
        admin("GET", "/admin/members/" + demo.profileID).second.value("reports").toArray();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].toObject().value("profileId"), "100010");
    EXPECT_EQ(reports[0].toObject().value("reason"), 4);
    EXPECT_EQ(errorCodeOf(sendSignedIn(
                  TovrinAPIRequest::POSTRequestWithPath("/v3/flags/999999", std::nullopt, report))),
              TovrinServiceErrorGeneric);
    EXPECT_EQ(errorCodeOf(sendSignedIn(
                  TovrinAPIRequest::POSTRequestWithPath("/v3/flags/100010", std::nullopt, QJsonObject()))),
              TovrinServiceErrorGeneric);
}

TEST_F(ProfileEndpointsTest, ADeletedProfileIsGoneForEveryone) {
    const test::SignedInMember leaving = signIn("member100010@tovrin.test");
    EXPECT_TRUE(answerOf(sendSignedIn(TovrinAPIRequest::DELETERequestWithPath("/v3/me/profile", std::nullopt,
                                                                              std::nullopt)))
                    .isEmpty());
    EXPECT_EQ(errorCodeOf(send(TovrinAPIRequest::POSTRequestWithPath(
                  "/v3/sessions", std::nullopt,
                  QJsonObject{{"email", "member100010@tovrin.test"}, {"password", "sandbox"}}))),
              TovrinServiceErrorInvalidCredentials);
    signInAsDemoMember();
    EXPECT_TRUE(profilesOf(leaving.profileID).isEmpty());
}

}  // namespace
}  // namespace tovrin
