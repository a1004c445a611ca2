// The member's road through the grid's lists: a favourite added and removed from the grid, and the
// grid filtered by an attribute left unset.

#include <QJsonArray>

#include "Cascade/FavoritesManager.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/world/Geohash.h"
#include "sandbox/world/World.h"

namespace tovrin {
namespace {

using test::SandboxTest;

class MemberListsEndToEndTest : public SandboxTest {
protected:
    // Every page of the grid around the configured position, as the client reads it.
    std::vector<std::shared_ptr<NearbyUser>> grid(URLQueryItems filter = {}) {
        const QString path =
            "/v3/locations/" + sandbox::Geohash::encode(options().defaultPosition) + "/profiles";
        std::vector<std::shared_ptr<NearbyUser>> users;
        for (int pageNumber = 1; pageNumber <= options().maxCascadePages; ++pageNumber) {
            URLQueryItems items = filter;
            items.append({"pageNumber", QString::number(pageNumber)});
            const QJsonArray profiles =
                answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath(path, items)))
                    .value("profiles")
                    .toArray();
            for (const QJsonValue& profile : profiles)
                users.push_back(mapper.nearbyUserWithJSONDictionary(profile.toObject()));
        }
        return users;
    }

    template <class T>
    static Promise<T> settled(Promise<T> promise) {
        EXPECT_TRUE(test::waitFor(promise, test::sandboxPatience));
        return promise;
    }

    sandbox::World& sandboxWorld() const { return *sandbox->context()->world; }

    NearbyUserJSONMapper mapper{std::make_shared<DeviceCurrentDateProvider>()};
};

TEST_F(MemberListsEndToEndTest, AMemberFromTheGridIsFavouritedThenNoLonger) {
    signInAsDemoMember();
    const auto manager = world->session()->favoritesManager();
    ASSERT_NE(manager, nullptr);
    const auto nearest = grid().front();
    EXPECT_FALSE(nearest->isFavorite());
    EXPECT_FALSE(manager->isFavorite(nearest->profileID()));

    const auto added = settled(manager->addUserToFavorites(nearest));
    ASSERT_TRUE(added.isFulfilled());
    EXPECT_TRUE(manager->isFavorite(nearest->profileID()));
    const auto favourites = grid({{"favorite", "true"}});
    ASSERT_EQ(favourites.size(), 1u);
    EXPECT_EQ(favourites[0]->profileID(), nearest->profileID());
    EXPECT_TRUE(favourites[0]->isFavorite());

    ASSERT_TRUE(settled(manager->removeUserFromFavorites(*added.value())).isFulfilled());
    EXPECT_FALSE(manager->isFavorite(nearest->profileID()));
    EXPECT_TRUE(grid({{"favorite", "true"}}).empty());
    EXPECT_FALSE(grid().front()->isFavorite());
}

// The filter editor's "Not Specified" is -1: it finds exactly the members without a body type.
TEST_F(MemberListsEndToEndTest, ANotSpecifiedBodyTypeFindsOnlyMembersWithoutOne) {
    const test::SignedInMember demo = signInAsDemoMember();
    QSet<QString> withoutBodyType;
    for (const auto& [profileID, member] : sandboxWorld().members()) {
        if (profileID != demo.profileID && !member.isBanned && !member.bodyType)
            withoutBodyType.insert(profileID);
    }
    ASSERT_FALSE(withoutBodyType.isEmpty());

    QSet<QString> found;
    for (const auto& user : grid({{"bodyTypeIds", "-1"}})) found.insert(user->profileID());

    EXPECT_EQ(found, withoutBodyType);
}

}  // namespace
}  // namespace tovrin
