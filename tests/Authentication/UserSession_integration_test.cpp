#include "Authentication/UserSession.h"

#include <gtest/gtest.h>

#include <QFile>

#include "API/AuthenticatedBootstrapManager.h"
#include "API/AuthenticatedURLService.h"
#include "Authentication/SessionTestWorld.h"
#include "Cascade/FavoritesManager.h"
#include "Cascade/Filter/CascadeFilterManager.h"
#include "Cascade/Filter/FilterManager.h"
#include "Keychain/MFKeychain.h"
#include "Persistence/DatabaseFileRegistry.h"
#include "Persistence/TemporaryStore.h"
#include "Preferences/LocalPreferences.h"
#include "RemoteNotifications/DeviceRegistrationService.h"
#include "support/LogCapture.h"

namespace tovrin {
namespace {

using test::await;
using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;

const QByteArray DeviceToken = QByteArray::fromHex("00ab0fff");

class UserSessionTest : public testing::Test {
protected:
    std::optional<LoginCredentials> keychainCredentials() {
        return AuthStorage(world.injector.get<MFKeychain>()).loginCredentials();
    }

    // What the container's per-member class keys yield now.
    struct Routed {
        std::shared_ptr<TovrinPersistence> persistence;
        std::shared_ptr<AuthenticatedBootstrapManager> bootstrapManager;
        std::shared_ptr<FilterManager> filterManager;
        std::shared_ptr<CascadeFilterManager> cascadeFilterManager;
        std::shared_ptr<FavoritesManager> favoritesManager;
    };
    Routed routed() {
        return {world.injector.get<TovrinPersistence>(), world.injector.get<AuthenticatedBootstrapManager>(),
                world.injector.get<FilterManager>(), world.injector.get<CascadeFilterManager>(),
                world.injector.get<FavoritesManager>()};
    }

    void signInAs(const std::shared_ptr<UserSession>& session, const QString& email, const QString& profileID,
                  const QString& token) {
        world.injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials(email, "pw"));
        session->startSessionWithProfileID(profileID, SessionCredentials(token, "xmpp-" + token));
    }

    SessionTestWorld world;
};

TEST_F(UserSessionTest, ALaunchWithCredentialsButNoProfileIDRemovesThem) {
    world.remember("ann@example.com", "secret", std::nullopt);

    auto session = world.launch();

    EXPECT_FALSE(session->isSessionActive());
    EXPECT_FALSE(keychainCredentials().has_value());
    const Routed objects = routed();
    EXPECT_NE(objects.persistence, nullptr);
    EXPECT_EQ(objects.bootstrapManager, nullptr);
    EXPECT_EQ(objects.filterManager, nullptr);
    EXPECT_EQ(objects.cascadeFilterManager, nullptr);
    test::drainMainQueue();
    EXPECT_TRUE(world.requests().isEmpty());
}

TEST_F(UserSessionTest, ALaunchWithAProfileIDButNoCredentialsIsNotActiveAndKeepsTheProfileID) {
    world.injector.get<UserDefaults>()->setObject("7", UserSessionProfileIDUserDefaultsKey);

    auto session = world.launch();

    EXPECT_FALSE(session->isSessionActive());
    EXPECT_EQ(session->profileID(), "7");
    EXPECT_EQ(routed().filterManager, nullptr);
}

TEST_F(UserSessionTest, ARememberedLaunchBuildsEveryObjectAndItsFirstRequestRenews) {
    world.application->setRemoteNotificationDeviceToken(DeviceToken);
    world.remember("ann@example.com", "secret", "7");
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1"));

    auto session = world.launch();

    EXPECT_TRUE(session->isSessionActive());
    EXPECT_FALSE(session->credentials().has_value());
    const Routed objects = routed();
    EXPECT_EQ(objects.persistence, session->tovrinPersistence());
    EXPECT_EQ(objects.bootstrapManager, session->bootstrapManager());
    ASSERT_NE(objects.filterManager, nullptr);
    EXPECT_EQ(objects.filterManager->tovrinPersistence(), objects.persistence);
    EXPECT_EQ(objects.cascadeFilterManager->tovrinPersistence(), objects.persistence);
    EXPECT_EQ(objects.favoritesManager, session->favoritesManager());
    EXPECT_NE(objects.favoritesManager, nullptr);
    EXPECT_NE(session->deviceRegistrationService(), nullptr);

    // The token registration is the first signed-in request: it renews, then bootstraps.
    ASSERT_TRUE(world.waitForRequests(3));
    world.settle();
    QStringList order;
    for (const RecordedRequest& request : world.requests()) order << SessionTestWorld::nameOf(request);
    EXPECT_EQ(order, QStringList({"POST /v3/sessions", "GET /v3/bootstrap", "POST /v3/ios-push-tokens"}));
    EXPECT_EQ(world.requestsTo("POST /v3/ios-push-tokens")[0].header("Authorization"), "Tovrin3 token-1");
    EXPECT_EQ(session->credentials(), SessionCredentials("token-1", "xmpp-1"));
}

TEST_F(UserSessionTest, SignInAfterASignedOutLaunchReplacesTheStoreAndBuildsTheRest) {
    auto session = world.launch();
    const auto launchStore = session->tovrinPersistence();

    signInAs(session, "ann@example.com", "7", "token-ann");

    EXPECT_TRUE(session->isSessionActive());
    EXPECT_EQ(session->profileID(), "7");
    const Routed objects = routed();
    EXPECT_NE(objects.persistence, launchStore);
    EXPECT_NE(objects.bootstrapManager, nullptr);
    EXPECT_NE(objects.filterManager, nullptr);
}

TEST_F(UserSessionTest, SignOutTakesEveryStepAndPostsTheNotificationLast) {
    world.application->setRemoteNotificationDeviceToken(DeviceToken);
    auto session = world.launchSignedIn("7", "token-ann");
    // The token registration; it shared the bootstrap of the session's load of the favourites.
    ASSERT_TRUE(world.waitForRequests(1));
    world.settle();
    auto preferences = world.injector.get<LocalPreferences>();
    preferences->setUnitSystem(1);
    preferences->setFavoritesCascadeFilteredByOnlineNow(true);
    preferences->setImageHashPendingModeration("abc");
    const QString storePath = session->tovrinPersistence()->path();

    struct AtNotification {
        bool active;
        std::optional<QString> profileID;
        std::optional<LoginCredentials> keychain;
        bool onlineOnly;
        std::optional<QString> pendingHash;
        quint64 unitSystem;
        Routed objects;
        bool storeDeletionStarted;
        qsizetype requests;
    };
    std::vector<AtNotification> seen;
    auto observer =
        world.notificationCenter->addObserver(UserDidLogoutNotification, nullptr, [&](const Notification&) {
            seen.push_back(
                {session->isSessionActive(), session->profileID(), keychainCredentials(),
                 preferences->isFavoritesCascadeFilteredByOnlineNow(),
                 preferences->imageHashPendingModeration(), preferences->unitSystem(), routed(),
                 DatabaseFileRegistry::shared().hasPendingDeletion(storePath) || !QFile::exists(storePath),
                 world.requests().size()});
        });

    session->logout();

    ASSERT_EQ(seen.size(), 1u);
    const AtNotification& state = seen[0];
    EXPECT_FALSE(state.active);
    EXPECT_FALSE(state.profileID.has_value());
    EXPECT_FALSE(state.keychain.has_value());
    EXPECT_FALSE(state.onlineOnly);
    EXPECT_FALSE(state.pendingHash.has_value());
    EXPECT_EQ(state.unitSystem, 1u);
    EXPECT_EQ(state.objects.persistence, nullptr);
    EXPECT_EQ(state.objects.bootstrapManager, nullptr);
    EXPECT_EQ(state.objects.filterManager, nullptr);
    EXPECT_EQ(state.objects.cascadeFilterManager, nullptr);
    EXPECT_EQ(state.objects.favoritesManager, nullptr);
    EXPECT_EQ(session->deviceRegistrationService(), nullptr);
    EXPECT_TRUE(state.storeDeletionStarted);
    EXPECT_EQ(session->credentials(), SessionCredentials("token-ann", "xmpp-0"));

    // The token's removal goes out afterwards, with the tokens still in memory.
    ASSERT_TRUE(
        test::runUntil([&] { return !world.requestsTo("DELETE /v3/push-tokens/00ab0fff").isEmpty(); }));
    world.settle();
    const auto removals = world.requestsTo("DELETE /v3/push-tokens/00ab0fff");
    ASSERT_EQ(removals.size(), 1);
    EXPECT_EQ(removals[0].header("Authorization"), "Tovrin3 token-ann");
    EXPECT_TRUE(
        test::runUntil([&] { return !DatabaseFileRegistry::shared().hasPendingDeletion(storePath); }));
    EXPECT_FALSE(QFile::exists(storePath));
}

TEST_F(UserSessionTest, ASecondSignOutRepeatsTheStepsAndPostsAgain) {
    auto session = world.launchSignedIn();
    int posted = 0;
    auto observer = world.notificationCenter->addObserver(UserDidLogoutNotification, nullptr,
                                                          [&](const Notification&) { ++posted; });

    session->logout();
    session->logout();

    EXPECT_EQ(posted, 2);
    EXPECT_FALSE(session->isSessionActive());
}

// The removal goes out with the last tokens after the sign-out: refused with 401 it asks for a
// renewal, which finds no credentials and fails with 2; or the service itself fails it with 2.
TEST(UserSession, OneSignOutPostsOnceWhenThePushTokenRemovalFailsWith2) {
    for (const ScriptedResponse& removal :
         {ScriptedResponse::empty(401), SessionTestWorld::errorResponse(400, 4)}) {
        SessionTestWorld local;
        local.application->setRemoteNotificationDeviceToken(DeviceToken);
        auto session = local.launchSignedIn("7", "token-ann");
        ASSERT_TRUE(local.waitForRequests(1));  // the token registration
        local.settle();
        local.route("DELETE /v3/push-tokens/00ab0fff", removal);
        int posted = 0;
        auto observer = local.notificationCenter->addObserver(UserDidLogoutNotification, nullptr,
                                                              [&](const Notification&) { ++posted; });

        test::LogCapture failures("Couldn't unregister");
        session->logout();
        // The removal's failure is logged last, after any renewal it asked for has settled.
        ASSERT_TRUE(test::runUntil([&] { return failures.lines().size() == 1; }));
        local.settle();

        EXPECT_EQ(posted, 1);
        EXPECT_TRUE(local.requestsTo("POST /v3/sessions").isEmpty());
        EXPECT_TRUE(local.keychain->items.isEmpty());
        EXPECT_FALSE(session->isSessionActive());
    }
}

TEST_F(UserSessionTest, SignOutThenSignInAsAnotherMemberLeavesNothingOfTheFirst) {
    // Each member's favourites, by the token that asks.
    world.route("GET /v3/me/favorites", [](const RecordedRequest& request) {
        const bool ann = request.header("Authorization") == "Tovrin3 token-ann";
        return ScriptedResponse::json(200, ann ? R"({"favorites":["ann-fave"]})" : R"({"favorites":[8]})");
    });
    auto session = world.launchSignedIn("7", "token-ann");
    const Routed ann = routed();
    ASSERT_TRUE(await(ann.persistence->saveImageHashes({"ann-photo"})));
    ASSERT_TRUE(test::waitFor(session->fetchConfigurationRules()));
    world.settle();

    session->logout();
    signInAs(session, "bob@example.com", "8", "token-bob");

    const Routed bob = routed();
    EXPECT_NE(bob.persistence, ann.persistence);
    EXPECT_NE(bob.bootstrapManager, ann.bootstrapManager);
    EXPECT_NE(bob.filterManager, ann.filterManager);
    EXPECT_NE(bob.cascadeFilterManager, ann.cascadeFilterManager);
    ASSERT_NE(bob.favoritesManager, nullptr);
    EXPECT_NE(bob.favoritesManager, ann.favoritesManager);
    EXPECT_EQ(bob.favoritesManager, session->favoritesManager());
    EXPECT_TRUE(test::runUntil([&] { return bob.favoritesManager->isFavorite("8"); }));
    EXPECT_FALSE(bob.favoritesManager->isFavorite("ann-fave"));
    EXPECT_EQ(world.requestsTo("GET /v3/me/favorites").size(), 2);
    EXPECT_EQ(bob.filterManager->tovrinPersistence(), bob.persistence);
    EXPECT_EQ(bob.persistence->path(), ann.persistence->path());
    EXPECT_FALSE(await(bob.persistence->getImageHashes()).has_value());
    EXPECT_EQ(await(bob.persistence->getConfigurationRules()), nullptr);

    // Bob's session asks for its own bootstrap answer.
    ASSERT_TRUE(test::waitFor(session->fetchConfigurationRules()));
    const auto bootstraps = world.requestsTo("GET /v3/bootstrap");
    ASSERT_EQ(bootstraps.size(), 2);
    EXPECT_EQ(bootstraps[1].header("Authorization"), "Tovrin3 token-bob");
}

// A launch whose credentials were lost left the member before in the store; another member signs in.
TEST_F(UserSessionTest, SignInAsAnotherMemberAfterASignedOutLaunchStartsFromAnEmptyStore) {
    world.injector.get<UserDefaults>()->setObject("7", UserSessionProfileIDUserDefaultsKey);
    auto session = world.launch();
    ASSERT_TRUE(await(session->tovrinPersistence()->saveImageHashes({"ann-photo"})));

    signInAs(session, "bob@example.com", "8", "token-bob");

    EXPECT_FALSE(await(session->tovrinPersistence()->getImageHashes()).has_value());
}

TEST_F(UserSessionTest, TheSameMemberSigningInAgainKeepsTheStore) {
    world.injector.get<UserDefaults>()->setObject("7", UserSessionProfileIDUserDefaultsKey);
    auto session = world.launch();
    ASSERT_TRUE(await(session->tovrinPersistence()->saveImageHashes({"ann-photo"})));

    signInAs(session, "ann@example.com", "7", "token-ann");

    EXPECT_EQ(await(session->tovrinPersistence()->getImageHashes()), QStringList({"ann-photo"}));
}

TEST_F(UserSessionTest, NewCredentialsKeepTheMemberAndTheObjects) {
    auto session = world.launchSignedIn("7", "token-0");
    const Routed before = routed();

    session->updateSessionWithNewCredentials(SessionCredentials("token-1", "xmpp-1"));

    EXPECT_EQ(session->credentials(), SessionCredentials("token-1", "xmpp-1"));
    EXPECT_EQ(session->profileID(), "7");
    EXPECT_EQ(routed().persistence, before.persistence);
    EXPECT_EQ(routed().filterManager, before.filterManager);
}

TEST_F(UserSessionTest, InitializingTwiceConfiguresTheSameSessionAgain) {
    auto first = UserSession::initializeSharedSessionWithInjector(world.injector, world.notificationCenter);
    auto second = UserSession::initializeSharedSessionWithInjector(world.injector, world.notificationCenter);

    EXPECT_EQ(first, second);
    EXPECT_EQ(UserSession::sharedSession(), first);
    UserSession::clearSession();
    EXPECT_EQ(UserSession::sharedSession(), nullptr);
}

class ConfigurationFetchTest : public UserSessionTest {
protected:
    static constexpr double ServerTime = 1'700'000'100'000;  // milliseconds, 100 s ahead of the clock

    std::shared_ptr<ConfigurationRules> fetch() {
        const auto promise = session->fetchConfigurationRules();
        EXPECT_TRUE(test::waitFor(promise));
        EXPECT_TRUE(promise.isFulfilled());
        return promise.isFulfilled() ? *promise.value() : nullptr;
    }

    std::shared_ptr<ServerCurrentDateProvider> serverClock() {
        return world.injector.get<ServerCurrentDateProvider>();
    }

    std::shared_ptr<UserSession> session = world.launchSignedIn();
};

// The server's clock runs 100 s ahead of the device's.
TEST_F(ConfigurationFetchTest, AFreshOffsetReusesTheSessionsAnswerAndAStaleOneAsksAgain) {
    world.route("GET /v3/bootstrap", [&](const RecordedRequest&) {
        const double serverNow = world.clock->now().addingTimeInterval(100).timeIntervalSince1970() * 1000;
        return ScriptedResponse::json(200, world.bootstrapAnswer(serverNow, 6));
    });

    const auto rules = fetch();
    ASSERT_NE(rules, nullptr);
    EXPECT_EQ(rules->app().maxCascadePages(), 6u);
    EXPECT_EQ(serverClock()->currentServerDate(), world.clock->now().addingTimeInterval(100));

    // The cached answer is taken again, and its old server time does not set the clock back.
    world.clock->advance(60);
    ASSERT_NE(fetch(), nullptr);
    EXPECT_EQ(world.requestsTo("GET /v3/bootstrap").size(), 1);
    EXPECT_EQ(serverClock()->currentServerDate(), world.clock->now().addingTimeInterval(100));

    world.clock->advance(1);
    ASSERT_NE(fetch(), nullptr);
    EXPECT_EQ(world.requestsTo("GET /v3/bootstrap").size(), 2);
    EXPECT_EQ(serverClock()->currentServerDate(), world.clock->now().addingTimeInterval(100));
    EXPECT_TRUE(serverClock()->isOffsetValid());
}

// The session's bootstrap answer, fetched earlier for an address, sets the server clock from the
// moment it arrived: read 30 s later it does not make the server 30 s slower, and it is stale 60 s
// after its arrival.
TEST_F(ConfigurationFetchTest, AKeptAnswerSetsTheServerClockFromItsArrival) {
    world.route("GET /v3/bootstrap", [&](const RecordedRequest&) {
        const double serverNow = world.clock->now().addingTimeInterval(100).timeIntervalSince1970() * 1000;
        return ScriptedResponse::json(200, world.bootstrapAnswer(serverNow, 6));
    });
    ASSERT_TRUE(test::waitFor(world.injector.get<AuthenticatedURLService>()->URLForAPI()));
    const Date arrival = world.clock->now();

    world.clock->advance(30);
    ASSERT_NE(fetch(), nullptr);

    EXPECT_EQ(world.requestsTo("GET /v3/bootstrap").size(), 1);
    EXPECT_EQ(serverClock()->currentServerDate(), world.clock->now().addingTimeInterval(100));
    world.clock->setNow(arrival.addingTimeInterval(61));
    EXPECT_FALSE(serverClock()->isOffsetValid());
}

TEST_F(ConfigurationFetchTest, AnAnswerWithoutAServerTimeLeavesTheServerClockAlone) {
    world.route("GET /v3/bootstrap", ScriptedResponse::json(200, world.bootstrapAnswer(std::nullopt, 3)));

    const auto rules = fetch();

    ASSERT_NE(rules, nullptr);
    EXPECT_FALSE(rules->serverTime().has_value());
    EXPECT_FALSE(serverClock()->cachedDate().has_value());
    EXPECT_EQ(serverClock()->currentServerDate(), world.clock->now());
}

TEST_F(ConfigurationFetchTest, AFailingBootstrapGivesTheStoredRulesOrNothingAndNeverRejects) {
    world.route("GET /v3/bootstrap", ScriptedResponse::empty(500));
    EXPECT_EQ(fetch(), nullptr);

    world.route("GET /v3/bootstrap", ScriptedResponse::json(200, world.bootstrapAnswer(ServerTime, 4)));
    ASSERT_NE(fetch(), nullptr);
    world.settle();

    world.route("GET /v3/bootstrap", ScriptedResponse::empty(500));
    world.clock->advance(61);
    const auto stored = fetch();
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->app().maxCascadePages(), 4u);
    EXPECT_EQ(stored->serverTime(), Date(ServerTime / 1000));
    EXPECT_EQ(world.requestsTo("GET /v3/bootstrap").size(), 3);
}

TEST_F(ConfigurationFetchTest, WhileSignedOutTheFetchGivesNothing) {
    session->logout();

    EXPECT_EQ(fetch(), nullptr);
}

}  // namespace
}  // namespace tovrin
