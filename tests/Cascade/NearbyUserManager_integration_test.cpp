// The member's user cache as the session makes it and drops it.

#include <gtest/gtest.h>

#include "Authentication/SessionTestWorld.h"
#include "Cascade/NearbyUserManager.h"

namespace tovrin {
namespace {

using test::SessionTestWorld;

TEST(NearbyUserManagerOfTheSession, EachMemberGetsAManagerOverTheirOwnStore) {
    SessionTestWorld world;
    auto session = world.launch();
    EXPECT_EQ(world.injector.get<NearbyUserManager>(), nullptr);

    world.injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials("ann@example.com", "secret"));
    session->startSessionWithProfileID("7", SessionCredentials("token-ann", "xmpp-ann"));
    const auto ann = world.injector.get<NearbyUserManager>();
    ASSERT_NE(ann, nullptr);
    EXPECT_EQ(world.injector.get<NearbyUserManager>(), ann);
    EXPECT_EQ(session->nearbyUserManager(), ann);
    EXPECT_EQ(ann->tovrinPersistence(), session->tovrinPersistence());
    ann->saveNearbyUser(std::make_shared<NearbyUser>("42", "Bob", std::nullopt, std::nullopt, std::nullopt,
                                                     std::nullopt, false, false),
                        true);
    ASSERT_TRUE(test::waitFor(ann->tovrinPersistence()->getNearbyUserForProfileID("42")));

    session->logout();
    EXPECT_EQ(world.injector.get<NearbyUserManager>(), nullptr);

    world.injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials("cy@example.com", "secret"));
    session->startSessionWithProfileID("8", SessionCredentials("token-cy", "xmpp-cy"));
    const auto cy = world.injector.get<NearbyUserManager>();
    ASSERT_NE(cy, nullptr);
    EXPECT_NE(cy, ann);
    EXPECT_EQ(cy->tovrinPersistence(), session->tovrinPersistence());
    // Nothing of the member before: neither the cache nor the store knows the user.
    const auto read = cy->retrieveNearbyUserForProfileID("42");
    ASSERT_TRUE(test::waitFor(read));
    EXPECT_EQ((*read.value())->displayName(), "");
}

}  // namespace
}  // namespace tovrin
