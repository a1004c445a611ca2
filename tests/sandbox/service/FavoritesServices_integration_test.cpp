// The client's favourites service and the session's favourites manager against the sandbox,
// through the application's container and the real shared session.

#include "Cascade/FavoritesManager.h"
#include "Cascade/FavoritesService.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/world/World.h"

namespace tovrin {
namespace {

using test::SandboxTest;

std::shared_ptr<NearbyUser> someone(const QString& profileID) {
    return std::make_shared<NearbyUser>(profileID, "Someone", std::nullopt, std::nullopt, std::nullopt,
                                        std::nullopt, false, false);
}

class FavoritesServicesTest : public SandboxTest {
protected:
    sandbox::SandboxOptions options() const override {
        sandbox::SandboxOptions options = SandboxTest::options();
        options.favoritesLimit = 2;
        return options;
    }

    template <class T>
    static Promise<T> settled(Promise<T> promise) {
        EXPECT_TRUE(test::waitFor(promise, test::sandboxPatience));
        return promise;
    }
    template <class T>
    static qint64 codeOf(const Promise<T>& promise) {
        return promise.isRejected() ? promise.error()->code() : 0;
    }

    std::shared_ptr<FavoritesService> service() const { return world->injector.get<FavoritesService>(); }
    QStringList sandboxFavoritesOf(const QString& profileID) const {
        return sandbox->context()->world->member(profileID)->favorites;
    }
    QStringList listed() {
        const auto favorites = settled(service()->retrieveFavorites());
        EXPECT_TRUE(favorites.isFulfilled()) << codeOf(favorites);
        return favorites.isFulfilled() ? *favorites.value() : QStringList();
    }
};

TEST_F(FavoritesServicesTest, TheServiceAddsListsAndRemovesWhatTheSandboxKeeps) {
    const test::SignedInMember demo = signInAsDemoMember();
    EXPECT_TRUE(listed().isEmpty());

    const auto added = settled(service()->addUserToFavorites(someone("100010")));
    ASSERT_TRUE(added.isFulfilled()) << codeOf(added);
    EXPECT_TRUE((*added.value())->isFavorite());
    settled(service()->addUserToFavorites(someone("100011")));

    // The sandbox lists ids as numbers; the client reads their digits.
    EXPECT_EQ(listed(), QStringList({"100010", "100011"}));
    EXPECT_EQ(sandboxFavoritesOf(demo.profileID), QStringList({"100010", "100011"}));

    const auto removed = settled(service()->removeUserFromFavorites(someone("100010")));
    ASSERT_TRUE(removed.isFulfilled()) << codeOf(removed);
    EXPECT_FALSE((*removed.value())->isFavorite());
    EXPECT_EQ(listed(), QStringList({"100011"}));
}

TEST_F(FavoritesServicesTest, TheSandboxsRefusalsReachTheCallerAsTheirCodes) {
    signInAsDemoMember();
    settled(service()->addUserToFavorites(someone("100010")));
    settled(service()->addUserToFavorites(someone("100011")));
    struct Case {
        const char* name;
        QString profileID;
        qint64 code;
    };
    const Case cases[] = {
        {"over the limit", "100012", TovrinServiceErrorFavoritesLimitReached},
        {"no such member", "999999", TovrinServiceErrorGeneric},
        // One segment: it reaches the favourites route as an id, never another endpoint.
        {"a path in the id", "../profiles/100010", TovrinServiceErrorGeneric},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(codeOf(settled(service()->addUserToFavorites(someone(testCase.profileID)))), testCase.code);
    }
    EXPECT_EQ(listed(), QStringList({"100010", "100011"}));
}

// The session made its own manager at sign-in; it loads the member's list kept by the sandbox and
// follows the member's changes.
TEST_F(FavoritesServicesTest, TheSessionsManagerLoadsTheMembersListAndFollowsChanges) {
    const test::SignedInMember demo = signInAsDemoMember();
    settled(service()->addUserToFavorites(someone("100010")));
    world->session()->logout();
    signInAsDemoMember();
    const auto manager = world->injector.get<FavoritesManager>();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager, world->session()->favoritesManager());
    ASSERT_TRUE(test::runUntil([&] { return manager->isFavorite("100010"); }, test::sandboxPatience));

    const auto added = settled(manager->addUserToFavorites(someone("100011")));
    ASSERT_TRUE(added.isFulfilled()) << codeOf(added);
    EXPECT_TRUE(manager->isFavorite("100011"));
    ASSERT_TRUE(settled(manager->removeUserFromFavorites(someone("100010"))).isFulfilled());

    EXPECT_FALSE(manager->isFavorite("100010"));
    EXPECT_EQ(manager->favorites(), QStringList({"100011"}));
    EXPECT_EQ(sandboxFavoritesOf(demo.profileID), QStringList({"100011"}));
}

}  // namespace
}  // namespace tovrin
