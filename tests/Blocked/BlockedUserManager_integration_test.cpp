#include "Blocked/BlockedUserManager.h"

#include <gtest/gtest.h>

#include "API/TovrinServiceError.h"
#include "Authentication/SessionTestWorld.h"
#include "Persistence/TemporaryStore.h"
#include "Persistence/databasewrapper/Database.h"
#include "platform/foundation/NotificationCenter.h"

namespace tovrin {
namespace {

using test::await;
using test::ScriptedResponse;
using test::SessionTestWorld;

class BlockedUserManagerTest : public testing::Test {
protected:
    BlockedUserManagerTest() {
        session = world.launchSignedIn();
        manager = world.injector.get<BlockedUserManager>();
        store = world.injector.get<TovrinPersistence>();
        observe(BlockedUserManagerDidBlockUserNotification);
        observe(BlockedUserManagerDidUnblockAllNotification);
    }

    void observe(const QString& name) {
        tokens.push_back(NotificationCenter::defaultCenter()->addObserver(
            name, nullptr, [this](const Notification& notification) { posted.push_back(notification); }));
    }

    // Promise of the rows the store holds for the conversation, read after everything asked before.
    Promise<qint64> conversationRows(const QString& profileID) {
        return store->executeOnSqlQueue<qint64>([store = store, profileID] {
            return store->database()
                ->integerForSQL(QStringLiteral("SELECT COUNT(*) FROM Conversations WHERE profileID = '%1';")
                                    .arg(profileID))
                .value_or(-1);
        });
    }

    template <class T>
    static std::optional<qint64> failureCode(const Promise<T>& promise) {
        EXPECT_TRUE(test::waitFor(promise));
        const auto error = promise.error();
        return error ? std::optional(error->code()) : std::nullopt;
    }

    qsizetype blockRequests(const QString& profileID) const {
        return world.requestsTo("POST /v3/me/blocks/" + profileID).size();
    }

    SessionTestWorld world;
    std::shared_ptr<UserSession> session;
    std::shared_ptr<BlockedUserManager> manager;
    std::shared_ptr<TovrinPersistence> store;
    std::vector<Notification> posted;
    std::vector<NotificationToken> tokens;
};

TEST_F(BlockedUserManagerTest, ABlockIsSentThenRecordedThenTheConversationRemovedThenAnnounced) {
    ASSERT_TRUE(await(store->updateConversationForProfileID("42", 3, false)));
    bool blockedWhenAnnounced = false;
    qsizetype requestsWhenAnnounced = 0;
    Promise<qint64> rowsAfterAnnouncement;
    NotificationToken token = NotificationCenter::defaultCenter()->addObserver(
        BlockedUserManagerDidBlockUserNotification, manager.get(), [&](const Notification&) {
            blockedWhenAnnounced = manager->isProfileIDBlocked("42");
            requestsWhenAnnounced = blockRequests("42");
            // Queued behind the removal only if the removal was asked for first.
            rowsAfterAnnouncement = conversationRows("42");
        });
    size_t announcementsWhenFulfilled = 0;

    const auto blocked = manager->blockUserWithProfileID("42");
    blocked.then([&] { announcementsWhenFulfilled = posted.size(); });
    ASSERT_TRUE(test::waitFor(blocked));
    test::drainMainQueue();

    ASSERT_TRUE(blocked.isFulfilled());
    EXPECT_EQ(requestsWhenAnnounced, 1);
    EXPECT_TRUE(blockedWhenAnnounced);
    EXPECT_EQ(await(rowsAfterAnnouncement), 0);
    EXPECT_EQ(announcementsWhenFulfilled, 1u);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].object, manager.get());
    EXPECT_EQ(posted[0].userInfo, (QVariantMap{{BlockedUserManagerBlockedProfileIDUserInfoKey, "42"}}));
    const test::RecordedRequest request = world.requestsTo("POST /v3/me/blocks/42").first();
    EXPECT_TRUE(request.body.isEmpty());
    EXPECT_FALSE(request.hasQuery);
}

TEST_F(BlockedUserManagerTest, AFailedBlockChangesNothingAndPassesTheErrorOn) {
    struct Case {
        QString profileID;
        ScriptedResponse response;
        qint64 code;
    };
    for (const auto& [profileID, response, code] : std::vector<Case>{
             {"50", SessionTestWorld::errorResponse(400, 34), TovrinServiceErrorBlocksLimitReached},
             {"51", ScriptedResponse::json(500, "{}"), TovrinServiceErrorServerError}}) {
        SCOPED_TRACE(profileID.toStdString());
        ASSERT_TRUE(await(store->updateConversationForProfileID(profileID, 1, false)));
        world.route("POST /v3/me/blocks/" + profileID, response);

        EXPECT_EQ(failureCode(manager->blockUserWithProfileID(profileID)), code);

        EXPECT_FALSE(manager->isProfileIDBlocked(profileID));
        EXPECT_EQ(await(conversationRows(profileID)), 1);
    }
    test::drainMainQueue();
    EXPECT_TRUE(posted.empty());
}

// The id is one segment after "/v3/me/blocks"; one that cannot be (empty, "." or "..") would post to
// the collection or above it, so nothing is sent and the block fails with 1.
TEST_F(BlockedUserManagerTest, TheIdIsOneSegmentOfThePathOrNothingIsSent) {
    struct Case {
        QString profileID;
        std::optional<QString> path;  // nothing: no request
    };
    for (const auto& [profileID, path] : std::vector<Case>{{"a/b", "/v3/me/blocks/a%2Fb"},
                                                           {"%2e", "/v3/me/blocks/%252e"},
                                                           {QString::fromUtf8("ü"), "/v3/me/blocks/%C3%BC"},
                                                           {"..", std::nullopt},
                                                           {".", std::nullopt},
                                                           {"", std::nullopt}}) {
        SCOPED_TRACE(profileID.toStdString());
        const qsizetype before = world.requests().size();
        if (path) world.route("POST " + *path, ScriptedResponse::json(200, "{}"));

        const auto blocked = manager->blockUserWithProfileID(profileID);

        EXPECT_EQ(failureCode(blocked),
                  path ? std::nullopt : std::optional<qint64>(TovrinServiceErrorGeneric));
        EXPECT_EQ(manager->isProfileIDBlocked(profileID), path.has_value());
        QStringList sent;
        for (const auto& request : world.requests().mid(before)) {
            if (request.path != "/v3/bootstrap") sent.append(request.method + " " + request.path);
        }
        EXPECT_EQ(sent, path ? QStringList{"POST " + *path} : QStringList());
    }
}

TEST_F(BlockedUserManagerTest, BlockingTwiceSendsTwiceAndAnnouncesTwice) {
    EXPECT_TRUE(test::waitFor(manager->blockUserWithProfileID("42")));
    EXPECT_TRUE(test::waitFor(manager->blockUserWithProfileID("42")));
    test::drainMainQueue();
    EXPECT_EQ(blockRequests("42"), 2);
    EXPECT_EQ(posted.size(), 2u);
    EXPECT_TRUE(manager->isProfileIDBlocked("42"));
    EXPECT_FALSE(manager->isProfileIDBlocked("43"));
}

TEST_F(BlockedUserManagerTest, ABlockByThePeerIsRecordedAndAnnouncedWithoutACallOrAStoreChange) {
    ASSERT_TRUE(await(store->updateConversationForProfileID("77", 2, true)));
    const qsizetype before = world.requests().size();

    manager->blockedByUserWithProfileID("77");

    EXPECT_TRUE(manager->isProfileIDBlocked("77"));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].name, BlockedUserManagerDidBlockUserNotification);
    EXPECT_EQ(posted[0].userInfo.value(BlockedUserManagerBlockedProfileIDUserInfoKey), "77");
    EXPECT_EQ(await(conversationRows("77")), 1);
    test::drainMainQueue();
    EXPECT_EQ(world.requests().size(), before);
}

TEST_F(BlockedUserManagerTest, UnblockingEveryoneEmptiesTheSetOnceTheServiceAgrees) {
    manager->blockedByUserWithProfileID("77");
    manager->blockedByUserWithProfileID("78");
    posted.clear();
    world.route("DELETE /v3/me/blocks",
                std::vector{ScriptedResponse::json(500, "{}"), ScriptedResponse::json(200, "{}")});

    EXPECT_EQ(failureCode(manager->unblockAllUsers()), TovrinServiceErrorServerError);
    EXPECT_TRUE(manager->isProfileIDBlocked("77"));
    test::drainMainQueue();
    EXPECT_TRUE(posted.empty());

    const auto unblocked = manager->unblockAllUsers();
    ASSERT_TRUE(test::waitFor(unblocked));
    EXPECT_TRUE(unblocked.isFulfilled());
    EXPECT_FALSE(manager->isProfileIDBlocked("77"));
    EXPECT_FALSE(manager->isProfileIDBlocked("78"));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].name, BlockedUserManagerDidUnblockAllNotification);
    EXPECT_TRUE(posted[0].userInfo.isEmpty());

    // Nothing known to be blocked: the call still goes out and is announced.
    EXPECT_TRUE(test::waitFor(manager->unblockAllUsers()));
    test::drainMainQueue();
    EXPECT_EQ(world.requestsTo("DELETE /v3/me/blocks").size(), 3);
    EXPECT_EQ(posted.size(), 2u);
}

TEST_F(BlockedUserManagerTest, EachSessionHasItsOwnManagerOverItsOwnStore) {
    manager->blockedByUserWithProfileID("77");
    EXPECT_EQ(session->blockedUserManager(), manager);

    world.injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials("bob@example.com", "pw"));
    session->startSessionWithProfileID("8", SessionCredentials("token-8", "xmpp-8"));
    const auto next = world.injector.get<BlockedUserManager>();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, manager);
    EXPECT_FALSE(next->isProfileIDBlocked("77"));

    // The new manager removes conversations from the new session's store.
    store = world.injector.get<TovrinPersistence>();
    ASSERT_TRUE(await(store->updateConversationForProfileID("42", 1, false)));
    EXPECT_TRUE(test::waitFor(next->blockUserWithProfileID("42")));
    EXPECT_EQ(await(conversationRows("42")), 0);

    session->logout();
    EXPECT_EQ(world.injector.get<BlockedUserManager>(), nullptr);
}

TEST_F(BlockedUserManagerTest, AnAnswerArrivingAfterSignOutOnlySettlesThePromise) {
    world.route("POST /v3/me/blocks/42", ScriptedResponse::held(ScriptedResponse::json(200, "{}")));
    const auto blocked = manager->blockUserWithProfileID("42");
    ASSERT_TRUE(test::runUntil([&] { return world.server.heldResponseCount() == 1; }));

    session->logout();
    world.server.releaseHeldResponses();

    ASSERT_TRUE(test::waitFor(blocked));
    EXPECT_TRUE(blocked.isFulfilled());
    EXPECT_FALSE(manager->isProfileIDBlocked("42"));
    test::drainMainQueue();
    EXPECT_TRUE(posted.empty());
}

}  // namespace
}  // namespace tovrin
