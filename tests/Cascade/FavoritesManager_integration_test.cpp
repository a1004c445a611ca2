#include "Cascade/FavoritesManager.h"

#include <gtest/gtest.h>

#include "API/TovrinServiceError.h"
#include "Authentication/SessionTestWorld.h"
#include "Cascade/FavoritesService.h"
#include "Preferences/LocalPreferences.h"

namespace tovrin {
namespace {

using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;

std::shared_ptr<NearbyUser> member(const QString& profileID, bool online = true) {
    return std::make_shared<NearbyUser>(profileID, "Dee", "hash-1", 31, Date(1.7e9), 420.5, false, online);
}

class FavoritesManagerTest : public testing::Test {
protected:
    // The session's own manager loads the list at sign-in; the tests watch one made now.
    void signIn() {
        session = world.launchSignedIn();
        service = world.injector.get<FavoritesService>();
        EXPECT_TRUE(test::runUntil([&] { return !world.requestsTo("GET /v3/me/favorites").isEmpty(); }));
        world.settle();
    }
    std::shared_ptr<FavoritesManager> makeManager() { return world.injector.construct<FavoritesManager>(); }

    template <class T>
    static std::optional<qint64> failureCode(const Promise<T>& promise) {
        EXPECT_TRUE(test::waitFor(promise));
        const auto error = promise.error();
        return error ? std::optional(error->code()) : std::nullopt;
    }

    QStringList sent(qsizetype from = 0) const {
        QStringList names;
        for (const RecordedRequest& request : world.server.requests().mid(from)) {
            if (request.path.startsWith("/v3/me/favorites")) names << SessionTestWorld::nameOf(request);
        }
        return names;
    }

    SessionTestWorld world;
    std::shared_ptr<UserSession> session;
    std::shared_ptr<FavoritesService> service;
};

TEST_F(FavoritesManagerTest, EachCallHasItsMethodAndPathAndNoBodyNorQuery) {
    signIn();
    const qsizetype before = world.server.requests().size();
    const auto manager = makeManager();
    ASSERT_TRUE(test::runUntil([&] { return sent(before).size() == 1; }));
    ASSERT_TRUE(test::waitFor(manager->addUserToFavorites(member("12"))));
    ASSERT_TRUE(test::waitFor(manager->removeUserFromFavorites(member("12"))));

    EXPECT_EQ(sent(before), QStringList({"GET /v3/me/favorites", "POST /v3/me/favorites/12",
                                         "DELETE /v3/me/favorites/12"}));
    for (const RecordedRequest& request : world.server.requests().mid(before)) {
        SCOPED_TRACE(SessionTestWorld::nameOf(request).toStdString());
        EXPECT_TRUE(request.body.isEmpty());
        EXPECT_FALSE(request.hasQuery);
        EXPECT_EQ(request.header("Authorization"), "Tovrin3 token-0");
    }
}

TEST_F(FavoritesManagerTest, TheLoadedIdsAreTextsAndNothingIsAFavouriteBeforeThem) {
    world.route("GET /v3/me/favorites",
                ScriptedResponse::json(200, R"({"favorites":[12,34,"ab",12345678901,null,{"id":5}]})"));
    signIn();
    const auto manager = makeManager();

    EXPECT_FALSE(manager->isFavorite("12"));
    ASSERT_TRUE(test::runUntil([&] { return manager->isFavorite("12"); }));

    EXPECT_EQ(manager->favorites(), QStringList({"12", "34", "ab", "12345678901"}));
    EXPECT_FALSE(manager->isFavorite("56"));
    EXPECT_FALSE(manager->isFavorite("12.0"));
}

TEST_F(FavoritesManagerTest, AnAnswerWithoutAListLoadsNothing) {
    for (const QByteArray& answer :
         {QByteArray("{}"), QByteArray(R"({"favorites":null})"), QByteArray(R"({"favorites":"12"})")}) {
        SCOPED_TRACE(answer.toStdString());
        SessionTestWorld local;
        local.route("GET /v3/me/favorites", ScriptedResponse::json(200, answer));
        local.launchSignedIn();
        const auto loaded = local.injector.get<FavoritesService>()->retrieveFavorites();
        ASSERT_TRUE(test::waitFor(loaded));
        ASSERT_TRUE(loaded.isFulfilled());
        EXPECT_TRUE(loaded.value()->isEmpty());
    }
}

TEST_F(FavoritesManagerTest, AddingTwiceListsTwiceAndOneRemoveTakesBoth) {
    signIn();
    const auto manager = makeManager();
    world.settle();

    const auto added = manager->addUserToFavorites(member("12"));
    ASSERT_TRUE(test::waitFor(added));
    ASSERT_TRUE(test::waitFor(manager->addUserToFavorites(member("12"))));
    EXPECT_EQ(manager->favorites(), QStringList({"12", "12"}));

    const auto removed = manager->removeUserFromFavorites(member("12"));
    ASSERT_TRUE(test::waitFor(removed));
    EXPECT_FALSE(manager->isFavorite("12"));
    EXPECT_TRUE(manager->favorites().isEmpty());

    // The copies: every field kept, the favourite flag as asked, the online flag copied.
    const auto given = member("12", false);
    given->setFavorite(true);
    for (const auto& [copy, favorite] :
         {std::pair{*added.value(), true}, std::pair{*removed.value(), false}}) {
        EXPECT_EQ(copy->isFavorite(), favorite);
        EXPECT_EQ(copy->profileID(), "12");
        EXPECT_EQ(copy->displayName(), "Dee");
        EXPECT_EQ(copy->mediaHash(), "hash-1");
        EXPECT_EQ(copy->age(), 31);
        EXPECT_EQ(copy->lastSeen(), Date(1.7e9));
        EXPECT_EQ(copy->distance(), 420.5);
        EXPECT_TRUE(copy->isOnline());
    }
    EXPECT_FALSE(FavoritesService::userAsFavorite(*given, false)->isOnline());
}

// Failures pass through unchanged and change nothing: the limit (the service's 33), a server error,
// and a successful answer without a body, which confirms nothing.
TEST_F(FavoritesManagerTest, AFailedChangeLeavesTheListAndRejectsWithTheServicesError) {
    struct Case {
        const char* name;
        QString route;
        ScriptedResponse response;
        qint64 code;
    };
    const Case cases[] = {
        {"limit", "POST /v3/me/favorites/40", SessionTestWorld::errorResponse(400, 33),
         TovrinServiceErrorFavoritesLimitReached},
        {"server", "POST /v3/me/favorites/41", ScriptedResponse::json(500, "{}"),
         TovrinServiceErrorServerError},
        {"empty add", "POST /v3/me/favorites/42", ScriptedResponse::empty(200),
         TovrinServiceErrorDataNotReadable},
        {"empty remove", "DELETE /v3/me/favorites/43", ScriptedResponse::empty(204),
         TovrinServiceErrorDataNotReadable},
        {"removal refused", "DELETE /v3/me/favorites/44", ScriptedResponse::json(500, "{}"),
         TovrinServiceErrorServerError},
    };
    world.route("GET /v3/me/favorites", ScriptedResponse::json(200, R"({"favorites":["43","44"]})"));
    signIn();
    const auto manager = makeManager();
    ASSERT_TRUE(test::runUntil([&] { return manager->isFavorite("43"); }));
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        world.route(testCase.route, testCase.response);
        const QString id = testCase.route.section('/', -1);
        const bool add = testCase.route.startsWith("POST");

        const auto changed =
            add ? manager->addUserToFavorites(member(id)) : manager->removeUserFromFavorites(member(id));

        EXPECT_EQ(failureCode(changed), testCase.code);
        EXPECT_EQ(manager->isFavorite(id), !add);
    }
    EXPECT_EQ(manager->favorites(), QStringList({"43", "44"}));
}

// The id is one segment after the base path; one that cannot be one is never sent.
TEST_F(FavoritesManagerTest, TheIdIsOneSegmentOfThePathOrNothingIsSent) {
    struct Case {
        QString profileID;
        std::optional<QString> path;  // nothing: no request, code 1
    };
    const Case cases[] = {{"12", "/v3/me/favorites/12"},
                          {"a/b", "/v3/me/favorites/a%2Fb"},
                          {"x?y#z", "/v3/me/favorites/x%3Fy%23z"},
                          {"..", std::nullopt},
                          {"", std::nullopt}};
    signIn();
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.profileID.toStdString());
        const qsizetype before = world.server.requests().size();
        EXPECT_EQ(service->favoritesPathComponentForUser(*member(testCase.profileID)), testCase.path);

        const auto added = service->addUserToFavorites(member(testCase.profileID));

        EXPECT_EQ(failureCode(added),
                  testCase.path ? std::nullopt : std::optional<qint64>(TovrinServiceErrorGeneric));
        EXPECT_EQ(sent(before), testCase.path ? QStringList{"POST " + *testCase.path} : QStringList());
    }
}

// Changes that completed while the list was on its way survive its arrival; the list replaces
// everything else.
TEST_F(FavoritesManagerTest, ChangesMadeWhileTheListLoadsAreKeptOverIt) {
    signIn();
    world.settle();
    world.route("GET /v3/me/favorites", ScriptedResponse::held(ScriptedResponse::json(
                                            200, R"({"favorites":["old","gone","listed"]})")));
    const auto manager = makeManager();
    ASSERT_TRUE(test::runUntil([&] { return world.server.heldResponseCount() == 1; }));

    ASSERT_TRUE(test::waitFor(manager->addUserToFavorites(member("new"))));
    ASSERT_TRUE(test::waitFor(manager->removeUserFromFavorites(member("gone"))));
    EXPECT_TRUE(manager->isFavorite("new"));
    world.server.releaseHeldResponses();
    ASSERT_TRUE(test::runUntil([&] { return manager->isFavorite("old"); }));

    EXPECT_EQ(manager->favorites(), QStringList({"old", "listed", "new"}));

    // Once loaded, a change is made once.
    ASSERT_TRUE(test::waitFor(manager->removeUserFromFavorites(member("listed"))));
    EXPECT_EQ(manager->favorites(), QStringList({"old", "new"}));
}

TEST_F(FavoritesManagerTest, AFailedLoadLeavesTheListEmptyButLaterAddsAppear) {
    world.route("GET /v3/me/favorites", ScriptedResponse::json(500, "{}"));
    signIn();
    const qsizetype before = world.server.requests().size();
    const auto manager = makeManager();
    ASSERT_TRUE(test::runUntil([&] { return sent(before).size() == 1; }));
    world.settle();
    EXPECT_TRUE(manager->favorites().isEmpty());

    ASSERT_TRUE(test::waitFor(manager->addUserToFavorites(member("12"))));

    EXPECT_EQ(manager->favorites(), QStringList({"12"}));
    EXPECT_EQ(world.requestsTo("GET /v3/me/favorites").size(), 2);  // the session's and this one's
}

TEST_F(FavoritesManagerTest, TheOnlineOnlySwitchLivesInThePreferences) {
    signIn();
    const auto manager = session->favoritesManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_FALSE(manager->isFavoritesFilteredByOnlineNow());

    manager->setFavoritesFilteredByOnlineNow(true);

    EXPECT_TRUE(world.injector.get<LocalPreferences>()->isFavoritesCascadeFilteredByOnlineNow());
    EXPECT_TRUE(manager->isFavoritesFilteredByOnlineNow());
    session->logout();
    EXPECT_FALSE(world.injector.get<LocalPreferences>()->isFavoritesCascadeFilteredByOnlineNow());
}

}  // namespace
}  // namespace tovrin
