// The client's nearby-users request, fetcher and locator against the sandbox, through the
// application's container and the real shared session.

#include <QJsonArray>
#include <QTemporaryDir>
#include <algorithm>

#include "Cascade/CascadeDataFetcher.h"
#include "Cascade/Filter/Filter.h"
#include "Cascade/NearbyUserService.h"
#include "Cascade/UserLocator.h"
#include "fixtures/location/LocationTestDoubles.h"
#include "platform/foundation/JSON.h"
#include "platform/system/SystemLocationManager.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/service/ProfileMatchers.h"
#include "support/FakeTimerFactory.h"

namespace tovrin {
namespace {

using test::anyOf;
using test::SandboxTest;
using test::within;
using IDs = QSet<QString>;

// A filter with one option set; every other option off.
struct OneOption {
    ToggleFilterOption photos{false};
    MinMaxFilterOption age{false, std::nullopt, std::nullopt};
    MinMaxFilterOption weight{false, std::nullopt, std::nullopt};
    MinMaxFilterOption height{false, std::nullopt, std::nullopt};
    OptionsFilterOption tribes{false, {}};
    OptionsFilterOption bodyTypes{false, {}};
    OptionsFilterOption ethnicities{false, {}};
    OptionsFilterOption lookingFors{false, {}};
    OptionsFilterOption relationshipStatuses{false, {}};

    std::shared_ptr<const Filter> filter() const {
        return std::make_shared<const Filter>(photos, age, weight, height, tribes, bodyTypes, ethnicities,
                                              lookingFors, relationshipStatuses);
    }
};

class NearbyServicesTest : public SandboxTest {
protected:
    sandbox::SandboxOptions options() const override {
        sandbox::SandboxOptions options = SandboxTest::options();
        options.pageSize = 25;
        return options;
    }

    Location here() const { return Location{options().defaultPosition, 10, Date::now()}; }

    Promise<NearbyUsersWithExpirationDate> page(quint32 pageNumber,
                                                const std::shared_ptr<const Filter>& filter,
                                                bool onlineOnly = false, bool favoritesOnly = false) {
        auto promise = world->injector.get<NearbyUserService>()->usersNearLocation(here(), filter, onlineOnly,
                                                                                   favoritesOnly, pageNumber);
        EXPECT_TRUE(test::waitFor(promise, test::sandboxPatience));
        EXPECT_TRUE(promise.isFulfilled()) << (promise.isRejected() ? promise.error()->code() : -1);
        return promise;
    }

    IDs everyPage(const std::shared_ptr<const Filter>& filter, bool onlineOnly = false,
                  bool favoritesOnly = false) {
        IDs ids;
        for (quint32 number = 0;; ++number) {
            const auto found = page(number, filter, onlineOnly, favoritesOnly);
            if (!found.isFulfilled() || found.value()->nearbyUsers().empty()) return ids;
            const NearbyUsersWithExpirationDate users = *found.value();
            for (const auto& user : users.nearbyUsers()) ids.insert(user->profileID());
        }
    }

    QJsonObject fullProfile(const QString& profileID) {
        return answerOf(sendSignedIn(
                            TovrinAPIRequest::GETRequestWithPath("/v3/profiles/" + profileID, std::nullopt)))
            .value("profiles")
            .toArray()
            .first()
            .toObject();
    }
};

TEST_F(NearbyServicesTest, PagesCountFromZeroAndExpireAfterTheServicesTTL) {
    const test::SignedInMember demo = signInAsDemoMember();
    const Date before = Date::now();
    const auto first = page(0, nullptr);
    const Date after = Date::now();
    ASSERT_TRUE(first.isFulfilled());
    const double ttl = options().gridTTL / 1000.0;
    EXPECT_GE(first.value()->expirationDate(), before.addingTimeInterval(ttl));
    EXPECT_LE(first.value()->expirationDate(), after.addingTimeInterval(ttl));
    EXPECT_EQ(first.value()->nearbyUsers().size(), 25u);

    const auto second = page(1, nullptr);
    ASSERT_TRUE(second.isFulfilled());
    EXPECT_EQ(second.value()->nearbyUsers().size(), size_t(options().memberCount - 1 - 25));
    EXPECT_TRUE(page(2, nullptr).value()->nearbyUsers().empty());

    IDs ids;
    for (const auto& found : {*first.value(), *second.value()}) {
        for (const auto& user : found.nearbyUsers()) ids.insert(user->profileID());
    }
    EXPECT_EQ(ids.size(), options().memberCount - 1);
    EXPECT_FALSE(ids.contains(demo.profileID));
}

TEST_F(NearbyServicesTest, EachFilterItemFindsExactlyTheMembersItDescribes) {
    signInAsDemoMember();
    const IDs everyone = everyPage(nullptr);
    answerOf(sendSignedIn(
        TovrinAPIRequest::POSTRequestWithPath("/v3/me/favorites/100020", std::nullopt, std::nullopt)));
    QList<QJsonObject> profiles;
    for (const QString& id : everyone) profiles << fullProfile(id);

    auto with = [](auto set) {
        OneOption option;
        set(option);
        return option.filter();
    };
    struct Case {
        const char* name;
        std::shared_ptr<const Filter> filter;
        bool onlineOnly;
        bool favoritesOnly;
        test::ProfileMatch describes;
        bool ageMayBeHidden = false;
    };
    const Case cases[] = {
        {"online now", nullptr, true, false,
         [](const QJsonObject& p) {
             return Date::now().millisecondsSince1970() - p.value("seen").toDouble() <= 600000;
         }},
        {"favourites", nullptr, false, true,
         [](const QJsonObject& p) { return p.value("isFavorite").toBool(); }},
        {"photos only", with([](OneOption& o) { o.photos = ToggleFilterOption(true); }), false, false,
         [](const QJsonObject& p) { return !p.value("profileImageMediaHash").isNull(); }},
        {"age", with([](OneOption& o) { o.age = MinMaxFilterOption(true, 25, 40); }), false, false,
         within("age", 25, 40), true},
        {"weight", with([](OneOption& o) { o.weight = MinMaxFilterOption(true, std::nullopt, 80000); }),
         false, false, within("weight", 0, 80000)},
        {"height", with([](OneOption& o) { o.height = MinMaxFilterOption(true, 170, 190); }), false, false,
         within("height", 170, 190)},
        {"tribes", with([](OneOption& o) {
             o.tribes = OptionsFilterOption(true, {1, 3, 5});
         }),
         false, false, anyOf("tovrinTribes", {1, 3, 5})},
        {"body types", with([](OneOption& o) {
             o.bodyTypes = OptionsFilterOption(true, {2, 4});
         }),
         false, false, anyOf("bodyType", {2, 4})},
        {"ethnicities", with([](OneOption& o) { o.ethnicities = OptionsFilterOption(true, {7}); }), false,
         false, anyOf("ethnicity", {7})},
        {"looking for", with([](OneOption& o) { o.lookingFors = OptionsFilterOption(true, {3}); }), false,
         false, anyOf("lookingFor", {3})},
        {"relationship statuses", with([](OneOption& o) {
             o.relationshipStatuses = OptionsFilterOption(true, {1, 2});
         }),
         false, false, anyOf("relationshipStatus", {1, 2})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IDs found = everyPage(c.filter, c.onlineOnly, c.favoritesOnly);
        int expected = 0;
        for (const QJsonObject& profile : profiles) {
            const QString id = profile.value("profileId").toVariant().toString();
            if (c.ageMayBeHidden && profile.value("age").isNull()) continue;
            const bool described = c.describes(profile);
            expected += described ? 1 : 0;
            EXPECT_EQ(found.contains(id), described) << id.toStdString();
        }
        EXPECT_GT(expected, 0);
    }
}

// The phone's position as the sandbox configures the client, through the application's fetcher.
TEST_F(NearbyServicesTest, TheConfiguredPositionGivesAPageOfSeededMembersNearestFirst) {
    const test::SignedInMember demo = signInAsDemoMember();
    QTemporaryDir folder;
    const QString path = folder.filePath("client.json");
    ASSERT_TRUE(sandbox->writeClientConfiguration(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QVariantMap info = JSON::parse(file.readAll())->toObject().toVariantMap();
    info.insert(SystemLocationManager::AuthorizationInfoKey, 4);
    auto manager = std::make_shared<SystemLocationManager>(
        std::make_shared<UserDefaults>(folder.filePath("defaults.ini")), std::make_shared<Bundle>(info),
        std::make_shared<test::ScriptedLocationPrompter>(), [](QObject*) { return nullptr; });
    world->injector.bindInstance(std::make_shared<UserLocator>(
        manager, std::make_shared<NotificationCenter>(), std::make_shared<test::FakeTimerFactory>()));

    auto promise = world->injector.get<CascadeDataFetcher>()->fetchNearbyUserDataForCurrentUserWithProfileID(
        demo.profileID, nullptr, false, false, 0);
    ASSERT_TRUE(test::waitFor(promise, test::sandboxPatience));
    ASSERT_TRUE(promise.isFulfilled()) << (promise.isRejected() ? promise.error()->code() : -1);
    const NearbyUsersWithExpirationDate found = *promise.value();
    ASSERT_EQ(found.nearbyUsers().size(), 25u);
    double previous = 0;
    int measured = 0;
    for (const auto& user : found.nearbyUsers()) {
        EXPECT_NE(user->profileID(), demo.profileID);
        EXPECT_FALSE(user->displayName().isEmpty());
        if (!user->distance()) continue;  // hidden by the member
        EXPECT_GE(*user->distance(), previous);
        previous = *user->distance();
        ++measured;
    }
    EXPECT_GT(measured, 0);
    // Seeded members live within 15 km of the configured position.
    EXPECT_LE(previous, 15000 * 1.01);
}

}  // namespace
}  // namespace tovrin
