#include "Cascade/NearbyUserService.h"

#include <gtest/gtest.h>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinServiceError.h"
#include "Authentication/SessionTestWorld.h"
#include "Cascade/CascadeDataFetcher.h"
#include "Cascade/Filter/Filter.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Cascade/UserLocator.h"
#include "Profile/ProfileService.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "fixtures/location/LocationTestDoubles.h"
#include "platform/foundation/Bundle.h"
#include "platform/system/GeohashEncoder.h"
#include "platform/system/SystemLocationManager.h"
#include "support/FakeClock.h"
#include "support/FakeTimerFactory.h"

namespace tovrin {
namespace {

using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;
using Items = QList<QPair<QString, QString>>;

const Coordinate berlin{52.52, 13.405};

QString pathAt(const Coordinate& position) {
    return "/v3/locations/" + GeohashEncoder::encode(position) + "/profiles";
}

Location fixAt(const Coordinate& position) {
    return Location{position, 10, Date(1'700'000'000)};
}

ScriptedResponse answer(const QJsonObject& body) {
    return ScriptedResponse::json(200, QJsonDocument(body).toJson(QJsonDocument::Compact));
}

Filter filterWith(ToggleFilterOption photos = ToggleFilterOption(false),
                  MinMaxFilterOption age = MinMaxFilterOption(false, std::nullopt, std::nullopt),
                  MinMaxFilterOption weight = MinMaxFilterOption(false, std::nullopt, std::nullopt),
                  MinMaxFilterOption height = MinMaxFilterOption(false, std::nullopt, std::nullopt),
                  OptionsFilterOption tribes = OptionsFilterOption(false, {}),
                  OptionsFilterOption bodyTypes = OptionsFilterOption(false, {}),
                  OptionsFilterOption ethnicities = OptionsFilterOption(false, {}),
                  OptionsFilterOption lookingFors = OptionsFilterOption(false, {}),
                  OptionsFilterOption relationshipStatuses = OptionsFilterOption(false, {})) {
    return Filter(photos, age, weight, height, tribes, bodyTypes, ethnicities, lookingFors,
                  relationshipStatuses);
}

// Refuses every action, as the web throttler does after repeated server errors.
class RefusingThrottler : public Throttler {
public:
    void actionDidFail(const ThrottleActionKey&) override {}
    void actionDidSucceed(const ThrottleActionKey&) override {}
    bool shouldThrottleAction(const ThrottleActionKey&) override { return true; }
};

class NearbyUserServiceTest : public testing::Test {
protected:
    NearbyUserServiceTest() { world.launchSignedIn("7", "token-0"); }

    std::shared_ptr<NearbyUserService> makeService(std::shared_ptr<Throttler> throttler = nullptr) {
        return std::make_shared<NearbyUserService>(
            world.injector.get<AuthenticatedTovrinEndpoint>(),
            throttler ? throttler : world.injector.get<TovrinWebAPIThrottler>(), clock,
            std::make_shared<NearbyUserJSONMapper>(clock));
    }

    Promise<NearbyUsersWithExpirationDate> fetch(const std::shared_ptr<const Filter>& filter, bool onlineOnly,
                                                 bool favoritesOnly, quint32 pageNumber,
                                                 const Coordinate& position = berlin) {
        auto promise =
            makeService()->usersNearLocation(fixAt(position), filter, onlineOnly, favoritesOnly, pageNumber);
        EXPECT_TRUE(test::waitFor(promise));
        return promise;
    }

    // The query the service sent for these arguments.
    Items querySent(const std::shared_ptr<const Filter>& filter, bool onlineOnly, bool favoritesOnly,
                    quint32 pageNumber) {
        world.route("GET " + pathAt(berlin), answer({{"profiles", QJsonArray()}, {"ttl", 0}}));
        const qsizetype before = world.requestsTo("GET " + pathAt(berlin)).size();
        EXPECT_TRUE(fetch(filter, onlineOnly, favoritesOnly, pageNumber).isFulfilled());
        const auto sent = world.requestsTo("GET " + pathAt(berlin));
        EXPECT_EQ(sent.size(), before + 1);
        return sent.isEmpty() ? Items() : sent.last().queryItems();
    }

    SessionTestWorld world;
    std::shared_ptr<test::FakeClock> clock = std::make_shared<test::FakeClock>();
};

TEST_F(NearbyUserServiceTest, TheQueryCarriesTheSwitchesTheFilterAndThePageInOrder) {
    auto all = std::make_shared<const Filter>(filterWith(
        ToggleFilterOption(true), MinMaxFilterOption(true, 18, 35.5),
        MinMaxFilterOption(true, 60000, 68038.8), MinMaxFilterOption(true, 150, 200),
        OptionsFilterOption(true, {8, 1}), OptionsFilterOption(true, {3, 7}), OptionsFilterOption(true, {2}),
        OptionsFilterOption(true, {-1, 4}), OptionsFilterOption(true, {5})));
    struct Case {
        const char* name;
        std::shared_ptr<const Filter> filter;
        bool online;
        bool favorites;
        quint32 page;
        Items expected;
    };
    const Case cases[] = {
        {"nothing but the page", nullptr, false, false, 0, {{"pageNumber", "1"}}},
        {"both switches",
         nullptr,
         true,
         true,
         2,
         {{"online", "true"}, {"favorite", "true"}, {"pageNumber", "3"}}},
        {"favourites only", nullptr, false, true, 0, {{"favorite", "true"}, {"pageNumber", "1"}}},
        {"every option disabled",
         std::make_shared<const Filter>(filterWith()),
         false,
         false,
         0,
         {{"pageNumber", "1"}}},
        {"disabled options keep their values out",
         std::make_shared<const Filter>(filterWith(
             ToggleFilterOption(false), MinMaxFilterOption(false, 18, 30), MinMaxFilterOption(false, 1, 2),
             MinMaxFilterOption(false, 1, 2), OptionsFilterOption(false, {1}))),
         false,
         false,
         0,
         {{"pageNumber", "1"}}},
        {"a lower age bound alone",
         std::make_shared<const Filter>(
             filterWith(ToggleFilterOption(false), MinMaxFilterOption(true, 18, {}))),
         false,
         false,
         0,
         {{"ageMinimum", "18"}, {"pageNumber", "1"}}},
        {"an upper height bound alone, an open range",
         std::make_shared<const Filter>(
             filterWith(ToggleFilterOption(false), MinMaxFilterOption(true, {}, {}),
                        MinMaxFilterOption(false, {}, {}), MinMaxFilterOption(true, {}, 190))),
         false,
         false,
         0,
         {{"heightMaximum", "190"}, {"pageNumber", "1"}}},
        {"an enabled list without codes",
         std::make_shared<const Filter>(
             filterWith(ToggleFilterOption(false), MinMaxFilterOption(false, {}, {}),
                        MinMaxFilterOption(false, {}, {}), MinMaxFilterOption(false, {}, {}),
                        OptionsFilterOption(true, {}), OptionsFilterOption(true, {3, 7}))),
         false,
         false,
         0,
         {{"bodyTypeIds", "3,7"}, {"pageNumber", "1"}}},
        {"everything",
         all,
         true,
         true,
         4294967294u,
         {{"online", "true"},
          {"favorite", "true"},
          {"photoOnly", "true"},
          {"ageMinimum", "18"},
          {"ageMaximum", "35.5"},
          {"weightMinimum", "60000"},
          {"weightMaximum", "68038.8"},
          {"heightMinimum", "150"},
          {"heightMaximum", "200"},
          {"tovrinTribesIds", "8,1"},
          {"bodyTypeIds", "3,7"},
          {"ethnicityIds", "2"},
          {"lookingForIds", "-1,4"},
          {"relationshipStatusIds", "5"},
          {"pageNumber", "4294967295"}}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(querySent(testCase.filter, testCase.online, testCase.favorites, testCase.page),
                  testCase.expected);
    }
    const RecordedRequest request = world.requestsTo("GET " + pathAt(berlin)).first();
    EXPECT_EQ(request.header("Authorization"), "Tovrin3 token-0");
    EXPECT_TRUE(request.body.isEmpty());
}

TEST_F(NearbyUserServiceTest, BoundsAreTheShortestTextInAnyLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const struct {
        double value;
        const char* text;
    } cases[] = {{18, "18"}, {68038.8, "68038.8"}, {0.1, "0.1"}, {1234567, "1234567"}, {-2.5, "-2.5"}};
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        EXPECT_EQ(NearbyUserService::boundText(testCase.value), testCase.text);
        EXPECT_EQ(NearbyUserService::boundText(testCase.value).toDouble(), testCase.value);
    }
    QLocale::setDefault(before);
}

TEST_F(NearbyUserServiceTest, ThePathCarriesTwelveGeohashCharactersWherever) {
    const Coordinate positions[] = {{90, 0}, {-90, 0},  {0, 180},    {0, -180},
                                    {0, 0},  {90, 180}, {-90, -180}, {57.64911, 10.40744}};
    for (const Coordinate& position : positions) {
        SCOPED_TRACE(testing::Message() << position.latitude << ", " << position.longitude);
        const QString path = pathAt(position);
        world.route("GET " + path, answer({{"profiles", QJsonArray()}}));
        EXPECT_TRUE(fetch(nullptr, false, false, 0, position).isFulfilled());
        const auto sent = world.requestsTo("GET " + path);
        ASSERT_FALSE(sent.isEmpty());
        const QString hash = sent.last().path.section('/', 3, 3);
        EXPECT_EQ(hash.size(), 12);
        EXPECT_TRUE(std::all_of(hash.begin(), hash.end(), [](QChar c) {
            return QByteArray(GeohashEncoder::alphabet()).contains(c.toLatin1());
        }));
    }
    EXPECT_EQ(GeohashEncoder::encode({57.64911, 10.40744}), "u4pruydqqvj8");
}

TEST_F(NearbyUserServiceTest, ThePageExpiresTTLAfterTheAnswerArrived) {
    struct Case {
        const char* name;
        QJsonValue ttl;  // undefined: no member
        double seconds;
    };
    const Case cases[] = {
        {"90000", 90000, 90},
        {"1999", 1999, 1},
        {"999", 999, 0},
        {"absent", QJsonValue::Undefined, 0},
        {"null", QJsonValue::Null, 0},
        {"a text", "90000", 0},
        {"a fraction", 2999.9, 2},
        {"negative", -1500, -1},
        {"beyond 64 bits", 1e300, 9223372036854775.0},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QJsonObject body{{"profiles", QJsonArray()}};
        if (!testCase.ttl.isUndefined()) body.insert("ttl", testCase.ttl);
        const Date sentAt = clock->now();
        // The answer is written 40 s after the request went out.
        world.route("GET " + pathAt(berlin), [&](const RecordedRequest&) {
            clock->advance(40);
            return answer(body);
        });
        const auto promise = fetch(nullptr, false, false, 0);
        ASSERT_TRUE(promise.isFulfilled());
        EXPECT_DOUBLE_EQ(promise.value()->expirationDate().timeIntervalSinceDate(sentAt),
                         40 + testCase.seconds);
        EXPECT_TRUE(promise.value()->nearbyUsers().empty());
    }
}

TEST_F(NearbyUserServiceTest, UsersKeepTheAnswersOrderAndMalformedOnesAreDropped) {
    world.route("GET " + pathAt(berlin),
                answer({{"ttl", 60000},
                        {"profiles", QJsonArray{QJsonObject{{"profileId", "30"}, {"displayName", "C"}}, 7,
                                                QJsonObject{{"displayName", "no id"}},
                                                QJsonObject{{"profileId", 10}, {"distance", 5}},
                                                QJsonValue::Null, QJsonObject{{"profileId", "20"}}}}}));
    const auto promise = fetch(nullptr, false, false, 0);
    ASSERT_TRUE(promise.isFulfilled());
    const NearbyUsersWithExpirationDate page = *promise.value();
    std::vector<QString> ids;
    for (const auto& user : page.nearbyUsers()) ids.push_back(user->profileID());
    EXPECT_EQ(ids, (std::vector<QString>{"30", "10", "20"}));
    EXPECT_EQ(promise.value()->nearbyUsers()[0]->displayName(), "C");
    EXPECT_EQ(promise.value()->nearbyUsers()[1]->distance(), 5.0);
}

TEST_F(NearbyUserServiceTest, AnswersOutsideTheFormAndFailuresOfTheWebClient) {
    struct Case {
        const char* name;
        ScriptedResponse response;
        std::optional<qint64> code;  // nothing: a page without users
        bool connected = true;
    };
    const Case cases[] = {
        {"no profiles member", ScriptedResponse::json(200, R"({"ttl": 1000})"), std::nullopt},
        {"profiles null", ScriptedResponse::json(200, R"({"profiles": null})"),
         TovrinServiceErrorDataNotReadable},
        {"profiles an object", ScriptedResponse::json(200, R"({"profiles": {}})"),
         TovrinServiceErrorDataNotReadable},
        {"an array answer", ScriptedResponse::json(200, R"([])"), TovrinServiceErrorDataNotReadable},
        {"an empty body", ScriptedResponse::empty(200), TovrinServiceErrorDataNotReadable},
        {"a server error", ScriptedResponse::json(503, "{}"), TovrinServiceErrorServerError},
        {"no connection", ScriptedResponse::drop(), TovrinServiceErrorNoInternetConnection, false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        // A server error counts against the service; each case starts with a clean record.
        world.injector.get<TovrinWebAPIThrottler>()->removeThrottleActionStateForKey(
            std::type_index(typeid(NearbyUserService)));
        world.reachability->setStatus(testCase.connected ? net::NetworkStatus::ReachableViaWiFi
                                                         : net::NetworkStatus::NotReachable);
        world.route("GET " + pathAt(berlin), testCase.response);
        const auto promise = fetch(nullptr, false, false, 0);
        if (testCase.code) {
            ASSERT_TRUE(promise.isRejected());
            EXPECT_EQ(*promise.error(), tovrinServiceError(*testCase.code));
        } else {
            ASSERT_TRUE(promise.isFulfilled());
            EXPECT_TRUE(promise.value()->nearbyUsers().empty());
        }
    }
}

TEST_F(NearbyUserServiceTest, AThrottledOrSignedOutCallSendsNothing) {
    world.route("GET " + pathAt(berlin), answer({{"profiles", QJsonArray()}}));
    auto throttled = makeService(std::make_shared<RefusingThrottler>())
                         ->usersNearLocation(fixAt(berlin), nullptr, false, false, 0);
    ASSERT_TRUE(test::waitFor(throttled));
    EXPECT_EQ(*throttled.error(), tovrinServiceError(TovrinServiceErrorThrottled));

    UserSession::sharedSession()->logout();
    auto signedOut = makeService()->usersNearLocation(fixAt(berlin), nullptr, false, false, 0);
    ASSERT_TRUE(test::waitFor(signedOut));
    EXPECT_EQ(*signedOut.error(), tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    EXPECT_TRUE(world.requestsTo("GET " + pathAt(berlin)).isEmpty());
}

// The fetcher over the real locator and this machine's location manager.
class CascadeDataFetcherTest : public NearbyUserServiceTest {
protected:
    std::shared_ptr<CascadeDataFetcher> fetcherWithPermission(int authorization) {
        const QVariantMap info{{SystemLocationManager::AuthorizationInfoKey, authorization},
                               {SystemLocationManager::FixedLocationInfoKey,
                                QVariantMap{{"latitude", berlin.latitude}, {"longitude", berlin.longitude}}}};
        auto manager = std::make_shared<SystemLocationManager>(
            std::make_shared<UserDefaults>(world.home.path() + "/location.ini"),
            std::make_shared<Bundle>(info), std::make_shared<test::ScriptedLocationPrompter>(),
            [](QObject*) { return nullptr; });
        locator = std::make_shared<UserLocator>(manager, std::make_shared<NotificationCenter>(),
                                                std::make_shared<test::FakeTimerFactory>());
        return std::make_shared<CascadeDataFetcher>(makeService(), locator,
                                                    world.injector.get<ProfileService>());
    }

    std::shared_ptr<UserLocator> locator;
};

TEST_F(CascadeDataFetcherTest, APageIsAskedForAtThePhonesPosition) {
    world.route("GET " + pathAt(berlin),
                answer({{"ttl", 30000}, {"profiles", QJsonArray{QJsonObject{{"profileId", "42"}}}}}));
    auto filter = std::make_shared<const Filter>(
        filterWith(ToggleFilterOption(false), MinMaxFilterOption(true, 21, {})));
    auto promise =
        fetcherWithPermission(4)->fetchNearbyUserDataForCurrentUserWithProfileID("7", filter, true, false, 1);
    ASSERT_TRUE(test::waitFor(promise));
    ASSERT_TRUE(promise.isFulfilled());
    ASSERT_EQ(promise.value()->nearbyUsers().size(), 1u);
    EXPECT_EQ(promise.value()->nearbyUsers()[0]->profileID(), "42");
    const auto sent = world.requestsTo("GET " + pathAt(berlin));
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].queryItems(), (Items{{"online", "true"}, {"ageMinimum", "21"}, {"pageNumber", "2"}}));
}

TEST_F(CascadeDataFetcherTest, ADeniedPositionRejectsWithTheLocatorsErrorAndSendsNothing) {
    auto promise = fetcherWithPermission(2)->fetchNearbyUserDataForCurrentUserWithProfileID("7", nullptr,
                                                                                            false, false, 0);
    ASSERT_TRUE(test::waitFor(promise));
    ASSERT_TRUE(promise.isRejected());
    EXPECT_EQ(*promise.error(), Error(UserLocatorErrorDomain, UserLocatorErrorPermissionDenied));
    test::drainMainQueue();
    EXPECT_TRUE(world.requestsTo("GET " + pathAt(berlin)).isEmpty());
}

TEST_F(CascadeDataFetcherTest, TheOwnRecordIsTheFullProfilesUserAndFailuresPassOn) {
    auto fetcher = fetcherWithPermission(4);
    world.route("GET /v3/profiles/7",
                answer({{"profiles", QJsonArray{QJsonObject{{"profileId", "7"}, {"displayName", "Me"}}}}}));
    auto own = fetcher->fetchNearbyUserWithProfileID("7");
    ASSERT_TRUE(test::waitFor(own));
    ASSERT_TRUE(own.isFulfilled());
    EXPECT_EQ((*own.value())->displayName(), "Me");

    world.route("GET /v3/profiles/8", answer({{"profiles", QJsonArray()}}));
    auto missing = fetcher->fetchNearbyUserWithProfileID("8");
    ASSERT_TRUE(test::waitFor(missing));
    EXPECT_EQ(*missing.error(), tovrinServiceError(TovrinServiceErrorProfileNotFound));
}

}  // namespace
}  // namespace tovrin
