#include "Profile/ProfileService.h"

#include <gtest/gtest.h>

#include "API/TovrinServiceError.h"
#include "Authentication/SessionTestWorld.h"
#include "Profile/DeleteProfileService.h"
#include "Profile/ManagedFieldsManager.h"
#include "Profile/ManagedFieldsService.h"
#include "Profile/ProfileTestSupport.h"
#include "Profile/ProfileUpdate.h"
#include "Profile/ProfileUpdateBuilder.h"
#include "Profile/UserReportingService.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/JSON.h"

namespace tovrin {
namespace {

using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;
using Fields = std::vector<ManagedField>;
using Networks = std::vector<SocialNetwork>;

QJsonObject parsedObject(const QByteArray& json) {
    const auto value = JSON::parse(json);
    EXPECT_TRUE(value && value->isObject()) << json.toStdString();
    return value ? value->toObject() : QJsonObject();
}

ScriptedResponse profilesAnswer(const QJsonArray& profiles) {
    return ScriptedResponse::json(200, QJsonDocument(QJsonObject{{"profiles", profiles}}).toJson());
}

class ProfileServicesTest : public testing::Test {
protected:
    ProfileServicesTest() {
        session = world.launchSignedIn("7", "token-0");
        world.settle();
        manager = session->managedFieldsManager();
    }

    // The profile read from an answer holding this one profile object.
    std::shared_ptr<FullProfile> fetched(const QJsonObject& profile) {
        world.route("GET /v3/profiles/42", profilesAnswer(QJsonArray{profile}));
        const auto promise = world.injector.get<ProfileService>()->fullProfileForID("42");
        EXPECT_TRUE(test::waitFor(promise));
        return promise.isFulfilled() ? *promise.value() : nullptr;
    }

    template <class T>
    static std::optional<Error> failure(const Promise<T>& promise) {
        EXPECT_TRUE(test::waitFor(promise));
        return promise.error();
    }

    SessionTestWorld world;
    std::shared_ptr<UserSession> session;
    std::shared_ptr<ManagedFieldsManager> manager;
};

TEST_F(ProfileServicesTest, AFetchReadsTheFirstProfileWithItsOptionsNamed) {
    world.route(
        "GET /v3/profiles/42",
        profilesAnswer(QJsonArray{
            QJsonObject{{"profileId", "42"},
                        {"displayName", "Bob"},
                        {"profileImageMediaHash", "hash-42"},
                        {"age", 31},
                        {"distance", 1200},
                        {"aboutMe", "  Hi\n"},
                        {"showAge", true},
                        {"showDistance", false},
                        {"height", 180.5},
                        {"weight", 75000},
                        {"bodyType", 4},
                        {"ethnicity", 7},
                        {"relationshipStatus", 3},
                        {"lookingFor", QJsonArray{2, 5}},
                        {"tovrinTribes", QJsonArray{8, 3}},
                        {"socialNetworks", QJsonObject{{"instagram", QJsonObject{{"userId", "bob_i"}}}}}},
            QJsonObject{{"profileId", "43"}, {"displayName", "Second"}}}));

    const auto promise = world.injector.get<ProfileService>()->fullProfileForID("42");
    ASSERT_TRUE(test::waitFor(promise));

    ASSERT_TRUE(promise.isFulfilled());
    const FullProfile& profile = **promise.value();
    EXPECT_EQ(profile.nearbyUser()->profileID(), "42");
    EXPECT_EQ(profile.nearbyUser()->displayName(), "Bob");
    EXPECT_EQ(profile.nearbyUser()->mediaHash(), "hash-42");
    EXPECT_EQ(profile.nearbyUser()->age(), 31);
    EXPECT_EQ(profile.nearbyUser()->distance(), 1200.0);
    const ExtendedProfileAttributes& attributes = *profile.extendedProfileAttributes();
    EXPECT_EQ(attributes.aboutMe(), "  Hi\n");
    EXPECT_EQ(attributes.showAge(), true);
    EXPECT_EQ(attributes.showDistance(), false);
    EXPECT_EQ(attributes.heightInCm(), 180.5);
    EXPECT_EQ(attributes.weightInGrams(), 75000.0);
    EXPECT_EQ(attributes.bodyType(), ManagedField(4, "Muscular"));
    EXPECT_EQ(attributes.ethnicity(), ManagedField(7, "White"));
    EXPECT_EQ(attributes.relationshipStatus(), ManagedField(3, "Exclusive"));
    EXPECT_EQ(attributes.lookingFor(), (Fields{{2, "Chat"}, {5, "Networking"}}));
    EXPECT_EQ(attributes.tribes(), (Fields{{8, "Otter"}, {3, "Daddy"}}));
    EXPECT_EQ(attributes.socialNetworks(), (Networks{{"bob_i", SocialNetworkTypeInstagram}}));
    const RecordedRequest request = world.requestsTo("GET /v3/profiles/42").first();
    EXPECT_EQ(request.header("Authorization"), "Tovrin3 token-0");
    EXPECT_FALSE(request.hasQuery);
}

TEST_F(ProfileServicesTest, AnAnswerWithoutAProfileFailsWith11AndNothingElse) {
    const char* answers[] = {
        R"({"profiles": []})",   R"({"profiles": null})", R"({})",
        R"({"profiles": {}})",   R"({"profiles": [7]})",  R"({"profiles": [{"displayName": "x"}]})",
        R"({"profiles": "42"})",
    };
    for (const char* answer : answers) {
        SCOPED_TRACE(answer);
        world.route("GET /v3/profiles/42", ScriptedResponse::json(200, answer));
        EXPECT_EQ(failure(world.injector.get<ProfileService>()->fullProfileForID("42")),
                  Error(TovrinServiceErrorDomain, TovrinServiceErrorProfileNotFound));
    }
}

TEST_F(ProfileServicesTest, AttributesAreReadAsTheJSONHoldsThem) {
    struct Case {
        const char* name;
        QJsonObject members;
        std::function<void(const ExtendedProfileAttributes&)> check;
    };
    const Case cases[] = {
        {"nothing but the id",
         {},
         [](const ExtendedProfileAttributes& a) {
             EXPECT_EQ(a.aboutMe(), std::nullopt);
             EXPECT_EQ(a.showAge(), std::nullopt);
             EXPECT_EQ(a.heightInCm(), std::nullopt);
             EXPECT_EQ(a.bodyType(), std::nullopt);
             EXPECT_EQ(a.lookingFor(), std::nullopt);
             EXPECT_EQ(a.tribes(), std::nullopt);
             EXPECT_EQ(a.socialNetworks(), Networks{});
         }},
        {"a code no list holds, null and an empty array",
         {{"bodyType", 99}, {"ethnicity", QJsonValue::Null}, {"lookingFor", QJsonArray{}}},
         [](const ExtendedProfileAttributes& a) {
             EXPECT_EQ(a.bodyType(), ManagedField(99, "Other"));
             EXPECT_EQ(a.ethnicity(), std::nullopt);
             EXPECT_EQ(a.lookingFor(), Fields{});
         }},
        {"twitter and another network, sorted by type",
         {{"socialNetworks", QJsonObject{{"twitter", QJsonObject{{"userId", "a"}}},
                                         {"myspace", QJsonObject{{"userId", "b"}}}}}},
         [](const ExtendedProfileAttributes& a) {
             EXPECT_EQ(a.socialNetworks(),
                       (Networks{{"b", SocialNetworkTypeUnknown}, {"a", SocialNetworkTypeTwitter}}));
         }},
        {"a network without user id",
         {{"socialNetworks", QJsonObject{{"facebook", QJsonObject{}}}}},
         [](const ExtendedProfileAttributes& a) {
             EXPECT_EQ(a.socialNetworks(), (Networks{{std::nullopt, SocialNetworkTypeFacebook}}));
         }},
        // Shapes the service does not send: no object, no number.
        {"networks that are no objects",
         {{"socialNetworks",
           QJsonObject{
               {"twitter", "a"}, {"instagram", QJsonValue::Null}, {"facebook", QJsonObject{{"userId", 5}}}}}},
         [](const ExtendedProfileAttributes& a) {
             EXPECT_EQ(a.socialNetworks(), (Networks{{std::nullopt, SocialNetworkTypeFacebook}}));
         }},
        {"codes that are no numbers",
         {{"bodyType", "4"},
          {"relationshipStatus", true},
          {"lookingFor", QJsonArray{2, QJsonValue::Null, "5", 5, QJsonObject{}}},
          {"tovrinTribes", "3"}},
         [](const ExtendedProfileAttributes& a) {
             EXPECT_EQ(a.bodyType(), std::nullopt);
             EXPECT_EQ(a.relationshipStatus(), std::nullopt);
             EXPECT_EQ(a.lookingFor(), (Fields{{2, "Chat"}, {5, "Networking"}}));
             EXPECT_EQ(a.tribes(), std::nullopt);
         }},
        {"texts, flags and numbers of other types",
         {{"aboutMe", 5},
          {"showAge", "yes"},
          {"showDistance", 1},
          {"height", "180"},
          {"weight", QJsonValue::Null}},
         [](const ExtendedProfileAttributes& a) {
             EXPECT_EQ(a.aboutMe(), std::nullopt);
             EXPECT_EQ(a.showAge(), std::nullopt);
             EXPECT_EQ(a.showDistance(), true);
             EXPECT_EQ(a.heightInCm(), std::nullopt);
             EXPECT_EQ(a.weightInGrams(), std::nullopt);
         }},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QJsonObject profile = testCase.members;
        profile.insert("profileId", "42");
        const auto read = fetched(profile);
        ASSERT_NE(read, nullptr);
        testCase.check(*read->extendedProfileAttributes());
    }
}

// The options are named from the lists of the moment the answer arrives.
TEST_F(ProfileServicesTest, CodesAreNamedFromTheListsAsTheyAreWhenTheAnswerArrives) {
    world.route("GET /v3/profiles/42", ScriptedResponse::held(profilesAnswer(
                                           QJsonArray{QJsonObject{{"profileId", "42"}, {"bodyType", 1}}})));
    const auto promise = world.injector.get<ProfileService>()->fullProfileForID("42");
    ASSERT_TRUE(test::runUntil([&] { return !world.requestsTo("GET /v3/profiles/42").isEmpty(); }));

    manager->setManagedFieldsDictionary(ManagedFieldsDictionary{{kManagedFieldsBodyTypeKey, {{1, "Lean"}}}});
    world.server.releaseHeldResponses();
    ASSERT_TRUE(test::waitFor(promise));

    ASSERT_TRUE(promise.isFulfilled());
    EXPECT_EQ((*promise.value())->extendedProfileAttributes()->bodyType(), ManagedField(1, "Lean"));
}

TEST_F(ProfileServicesTest, IdsAreOnePathSegmentOrNothingIsSent) {
    struct Case {
        QString profileID;
        std::optional<QString> segment;
    };
    const Case cases[] = {
        {"123", "123"},       {"a/b?c", "a%2Fb%3Fc"}, {"../me", "..%2Fme"},
        {"..", std::nullopt}, {"", std::nullopt},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.profileID.toStdString());
        const qsizetype before = world.requests().size();
        if (testCase.segment) {
            world.route("GET /v3/profiles/" + *testCase.segment,
                        profilesAnswer(QJsonArray{QJsonObject{{"profileId", testCase.profileID}}}));
        }

        const auto profile = world.injector.get<ProfileService>()->fullProfileForID(testCase.profileID);
        const auto report = world.injector.get<UserReportingService>()->reportUserWithProfileID(
            testCase.profileID, 4, "rude");
        ASSERT_TRUE(test::waitFor(profile));
        ASSERT_TRUE(test::waitFor(report));

        if (testCase.segment) {
            EXPECT_TRUE(profile.isFulfilled());
            EXPECT_TRUE(report.isFulfilled());
            EXPECT_EQ(world.requestsTo("GET /v3/profiles/" + *testCase.segment).size(), 1);
            EXPECT_EQ(world.requestsTo("POST /v3/flags/" + *testCase.segment).size(), 1);
        } else {
            EXPECT_EQ(profile.error(), tovrinServiceError(TovrinServiceErrorGeneric));
            EXPECT_EQ(report.error(), tovrinServiceError(TovrinServiceErrorGeneric));
            EXPECT_EQ(world.requests().size(), before);
        }
    }
}

TEST_F(ProfileServicesTest, AReportPostsTheReasonAndTheComment) {
    struct Case {
        qint64 reason;
        std::optional<QString> comment;
        const char* body;
    };
    const Case cases[] = {
        {4, "rude to me", R"({"reason": 4, "comment": "rude to me"})"},
        {10, std::nullopt, R"({"reason": 10, "comment": ""})"},
    };
    world.route("POST /v3/flags/123", ScriptedResponse::json(200, R"({"flagged": true})"));
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.body);
        const auto report = world.injector.get<UserReportingService>()->reportUserWithProfileID(
            "123", testCase.reason, testCase.comment);
        ASSERT_TRUE(test::waitFor(report));

        EXPECT_EQ(report.value(), QJsonValue(QJsonObject{{"flagged", true}}));
        const RecordedRequest request = world.requestsTo("POST /v3/flags/123").last();
        EXPECT_EQ(parsedObject(request.body), parsedObject(testCase.body));
        EXPECT_EQ(request.header("Authorization"), "Tovrin3 token-0");
        EXPECT_FALSE(request.hasQuery);
    }
}

TEST_F(ProfileServicesTest, TheSaveSendsTheUpdatesBodyAndTheDeletionNone) {
    const ProfileUpdate update("Ann", std::nullopt, 34, false, true, ManagedField(7, "White"),
                               {{5, "Networking"}}, std::nullopt, {}, ManagedField(4, "Muscular"), 180,
                               std::nullopt, {{"ann", SocialNetworkTypeTwitter}});

    const auto saved = world.injector.get<ProfileService>()->updateCurrentProfile(update);
    const auto deleted = world.injector.get<DeleteProfileService>()->deleteProfile();
    ASSERT_TRUE(test::waitFor(saved));
    ASSERT_TRUE(test::waitFor(deleted));

    EXPECT_TRUE(saved.isFulfilled());
    EXPECT_TRUE(deleted.isFulfilled());
    const RecordedRequest put = world.requestsTo("PUT /v3/me/profile").first();
    EXPECT_EQ(
        parsedObject(put.body),
        parsedObject(R"({"displayName": "Ann", "age": 34, "showAge": false, "showDistance": 1, "ethnicity": 7,
                               "lookingFor": [5], "relationshipStatus": null, "tovrinTribes": [], "bodyType": 4,
                               "height": 180, "weight": null, "socialNetworks": {"twitter": {"userId": "ann"}}})"));
    EXPECT_EQ(put.header("Authorization"), "Tovrin3 token-0");
    const RecordedRequest deletion = world.requestsTo("DELETE /v3/me/profile").first();
    EXPECT_TRUE(deletion.body.isEmpty());
    EXPECT_FALSE(deletion.hasQuery);
    EXPECT_EQ(deletion.header("Authorization"), "Tovrin3 token-0");
}

TEST_F(ProfileServicesTest, FailuresPassOnAsTheWebClientGivesThem) {
    world.route("GET /v3/profiles/42", ScriptedResponse::empty(503));
    world.route("PUT /v3/me/profile", ScriptedResponse::empty(200));
    world.route("DELETE /v3/me/profile", ScriptedResponse::empty(500));

    EXPECT_EQ(failure(world.injector.get<ProfileService>()->fullProfileForID("42")),
              tovrinServiceError(TovrinServiceErrorServerError));
    EXPECT_EQ(failure(world.injector.get<ProfileService>()->updateCurrentProfile(
                  ProfileUpdate(std::nullopt, std::nullopt, 0, false, false, std::nullopt, {}, std::nullopt,
                                {}, std::nullopt, std::nullopt, std::nullopt, {}))),
              tovrinServiceError(TovrinServiceErrorDataNotReadable));
    EXPECT_EQ(failure(world.injector.get<DeleteProfileService>()->deleteProfile()),
              tovrinServiceError(TovrinServiceErrorServerError));
}

// The fetch and the save count under one key; the lists' service under its own.
TEST(ProfileServicesThrottling, TheFetchAndTheSaveShareACountTheListsKeepTheirOwn) {
    SessionTestWorld world;
    world.route("GET /v3/managed-fields", ScriptedResponse::empty(500));
    world.launchSignedIn();
    world.settle();
    world.route("GET /v3/profiles/42", ScriptedResponse::empty(500));
    world.route("PUT /v3/me/profile", ScriptedResponse::empty(500));
    const auto service = world.injector.get<ProfileService>();
    const ProfileUpdate update(std::nullopt, std::nullopt, 0, false, false, std::nullopt, {}, std::nullopt,
                               {}, std::nullopt, std::nullopt, std::nullopt, {});

    ASSERT_TRUE(test::waitFor(service->fullProfileForID("42")));
    ASSERT_TRUE(test::waitFor(world.injector.get<ProfileService>()->updateCurrentProfile(update)));
    ASSERT_TRUE(test::waitFor(service->fullProfileForID("42")));

    const auto throttler = world.injector.get<TovrinWebAPIThrottler>();
    const auto failures = [&](const std::type_info& type) {
        return throttler->currentFailureCountForThrottleActionState(
            throttler->throttleActionStateForKey(std::type_index(type)));
    };
    EXPECT_EQ(failures(typeid(ProfileService)), 3u);
    EXPECT_EQ(failures(typeid(ManagedFieldsService)), 1u);
    EXPECT_EQ(failures(typeid(DeleteProfileService)), 0u);
}

}  // namespace
}  // namespace tovrin
