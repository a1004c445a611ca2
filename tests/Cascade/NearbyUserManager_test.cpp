#include "Cascade/NearbyUserManager.h"

#include <gtest/gtest.h>

#include "Persistence/TemporaryStore.h"
#include "platform/foundation/NotificationCenter.h"

namespace tovrin {
namespace {

using test::await;

std::shared_ptr<NearbyUser> user(const QString& id, const QString& name, std::optional<Date> lastSeen,
                                 std::optional<double> distance = 1500) {
    return std::make_shared<NearbyUser>(id, name, "hash-" + id, 33, lastSeen, distance, true, true);
}

class NearbyUserManagerTest : public testing::Test {
protected:
    ~NearbyUserManagerTest() override {
        // The store's queued work ends on the main queue; none of it may outlive the test.
        manager.reset();
        store.reset();
        test::drainMainQueue();
    }

    std::shared_ptr<NearbyUser> stored(const QString& id) {
        // A read queues behind every write the manager handed the store.
        return await(store->getNearbyUserForProfileID(id));
    }

    std::shared_ptr<test::FakeClock> clock = std::make_shared<test::FakeClock>();
    test::TemporaryStore file;
    std::shared_ptr<TovrinPersistence> store = file.make(clock);
    std::unique_ptr<NearbyUserManager> manager = std::make_unique<NearbyUserManager>(store);
};

TEST_F(NearbyUserManagerTest, ACachedUserIsTheSameObjectAtOnceAndNeverStored) {
    const auto bob = user("42", "Bob", clock->now());
    manager->saveNearbyUser(bob, false);
    const auto promise = manager->retrieveNearbyUserForProfileID("42");
    ASSERT_TRUE(promise.isFulfilled());
    EXPECT_EQ(*promise.value(), bob);
    EXPECT_EQ(stored("42"), nullptr);

    // A later save replaces the entry.
    const auto renamed = user("42", "Robert", clock->now());
    manager->saveNearbyUser(renamed, false);
    EXPECT_EQ(*manager->retrieveNearbyUserForProfileID("42").value(), renamed);
}

TEST_F(NearbyUserManagerTest, APersistedUserIsReadBackByAnotherManagerOnTheSameFile) {
    const Date seen = clock->now().addingTimeInterval(-300);
    manager->saveNearbyUser(user("42", "Bob", seen), true);
    ASSERT_NE(stored("42"), nullptr);
    EXPECT_EQ(stored("42")->distance(), std::nullopt);

    auto secondStore = file.make(clock);
    NearbyUserManager relaunched(secondStore);
    struct Case {
        const char* name;
        double clockMoved;
        bool online;
    };
    const Case cases[] = {{"seen 5 minutes ago", 0, true}, {"seen 15 minutes ago", 600, false}};
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        clock->advance(testCase.clockMoved);
        const auto read = await(relaunched.retrieveNearbyUserForProfileID("42"));
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->profileID(), "42");
        EXPECT_EQ(read->displayName(), "Bob");
        EXPECT_EQ(read->mediaHash(), "hash-42");
        EXPECT_EQ(read->age(), 33);
        ASSERT_TRUE(read->lastSeen());
        EXPECT_NEAR(read->lastSeen()->timeIntervalSince1970(), seen.timeIntervalSince1970(), 0.001);
        EXPECT_TRUE(read->isFavorite());
        EXPECT_EQ(read->distance(), std::nullopt);
        EXPECT_EQ(read->isOnline(), testCase.online);
    }
    secondStore.reset();
    test::drainMainQueue();
}

TEST_F(NearbyUserManagerTest, AStoredUserIsReadAfreshEachTime) {
    await(store->saveNearbyUser(user("42", "Bob", std::nullopt)));
    const auto first = await(manager->retrieveNearbyUserForProfileID("42"));
    EXPECT_EQ(first->displayName(), "Bob");
    await(store->saveNearbyUser(user("42", "Robert", std::nullopt)));
    const auto second = await(manager->retrieveNearbyUserForProfileID("42"));
    EXPECT_EQ(second->displayName(), "Robert");
    EXPECT_NE(first, second);
}

TEST_F(NearbyUserManagerTest, AnUnknownIdGivesARecordOfTheIdAlone) {
    const auto read = await(manager->retrieveNearbyUserForProfileID("99"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->profileID(), "99");
    EXPECT_EQ(read->displayName(), "");
    EXPECT_EQ(read->mediaHash(), std::nullopt);
    EXPECT_EQ(read->age(), std::nullopt);
    EXPECT_EQ(read->lastSeen(), std::nullopt);
    EXPECT_EQ(read->distance(), std::nullopt);
    EXPECT_FALSE(read->isFavorite());
    EXPECT_FALSE(read->isOnline());
    // Not cached: a second retrieval is another record.
    EXPECT_NE(await(manager->retrieveNearbyUserForProfileID("99")), read);
}

TEST_F(NearbyUserManagerTest, AUserWithoutAnIdChangesNothing) {
    manager->saveNearbyUser(user("", "Nobody", std::nullopt), true);
    manager->saveNearbyUser(nullptr, true);
    EXPECT_EQ(stored(""), nullptr);
    const auto read = await(manager->retrieveNearbyUserForProfileID(""));
    EXPECT_EQ(read->displayName(), "");
}

TEST_F(NearbyUserManagerTest, AnUpdateNotificationReplacesTheCachedUserOnly) {
    manager->saveNearbyUser(user("42", "Bob", std::nullopt), true);
    const auto edited = user("42", "Bobby", std::nullopt);
    NotificationCenter::defaultCenter()->post(NearbyUserDidUpdateNotification, nullptr,
                                              {{NearbyUserInfoKey, QVariant::fromValue(edited)}});
    EXPECT_EQ(*manager->retrieveNearbyUserForProfileID("42").value(), edited);
    EXPECT_EQ(stored("42")->displayName(), "Bob");

    // Without a record, or once the manager is gone, nothing happens.
    NotificationCenter::defaultCenter()->post(NearbyUserDidUpdateNotification);
    EXPECT_EQ(*manager->retrieveNearbyUserForProfileID("42").value(), edited);
    manager.reset();
    NotificationCenter::defaultCenter()->post(NearbyUserDidUpdateNotification, nullptr,
                                              {{NearbyUserInfoKey, QVariant::fromValue(edited)}});
}

}  // namespace
}  // namespace tovrin
