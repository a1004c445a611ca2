#include "Chat/ConversationSummariesManager.h"

#include <gtest/gtest.h>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinServiceError.h"
#include "Authentication/SessionTestWorld.h"
#include "Cascade/NearbyUserManager.h"
#include "Inbox/ConversationSummariesService.h"
#include "Inbox/ConversationSummaryServiceItemJSONMapper.h"
#include "Inbox/InboxTestSupport.h"
#include "Persistence/TemporaryStore.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {
namespace {

using test::conversationsRequest;

using test::await;
using test::conversationItem;
using test::conversationsAnswer;
using test::inboxDate;
using test::SessionTestWorld;

class RefusingThrottler : public Throttler {
public:
    void actionDidFail(const ThrottleActionKey&) override {}
    void actionDidSucceed(const ThrottleActionKey&) override {}
    bool shouldThrottleAction(const ThrottleActionKey&) override { return true; }
};

// A failure no web call of ours gives: the code of a network failure in another domain.
class ForeignFailureService : public ConversationSummariesService {
public:
    using ConversationSummariesService::ConversationSummariesService;
    Promise<std::vector<std::shared_ptr<ConversationSummaryServiceItem>>>
    retrieveConversationSummaryItemsOlderThan(std::optional<Date>, std::optional<Date>, quint32) override {
        return Promise<std::vector<std::shared_ptr<ConversationSummaryServiceItem>>>::rejected(
            Error(QStringLiteral("ElsewhereErrorDomain"), TovrinServiceErrorNoInternetConnection));
    }
};

class ConversationSummariesManagerTest : public testing::Test {
protected:
    ConversationSummariesManagerTest() {
        world.launchSignedIn(test::inboxMember, "token-0");
        store = world.injector.get<TovrinPersistence>();
        users = world.injector.get<NearbyUserManager>();
    }

    template <class Service = ConversationSummariesService>
    std::shared_ptr<Service> makeService(std::shared_ptr<Throttler> throttler = nullptr) {
        return std::make_shared<Service>(world.injector.get<AuthenticatedTovrinEndpoint>(),
                                         throttler ? throttler : world.injector.get<TovrinWebAPIThrottler>(),
                                         world.injector.get<ConversationSummaryServiceItemJSONMapper>());
    }
    std::shared_ptr<ConversationSummariesManager> manager(
        std::shared_ptr<ConversationSummariesService> service) {
        return std::make_shared<ConversationSummariesManager>(std::move(service), users, store);
    }

    // A stored conversation with the peer's last message at `sent`.
    void storeConversation(const QString& peer, Date sent, quint32 unread) {
        EXPECT_TRUE(await(store->saveDirectedMessages({test::receivedText("s-" + peer, peer, sent)})));
        EXPECT_TRUE(await(store->updateConversationForProfileID(peer, unread, false)));
    }

    QStringList storedPeers() {
        QStringList peers;
        for (const auto& summary : await(store->getConversationSummariesOlderThan(std::nullopt, 100)))
            peers << summary->profileID();
        return peers;
    }

    static QStringList peersOf(const ConversationSummaryManagerLoadResponse& page) {
        QStringList peers;
        for (const auto& summary : page.conversationSummaries()) peers << summary->profileID();
        return peers;
    }

    SessionTestWorld world;
    std::shared_ptr<TovrinPersistence> store;
    std::shared_ptr<NearbyUserManager> users;
};

TEST_F(ConversationSummariesManagerTest, AFailedCallGivesTheStoresPageWithItsReason) {
    storeConversation("41", inboxDate(1), 2);
    storeConversation("42", inboxDate(2), 0);
    storeConversation("43", inboxDate(3), 1);
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<std::shared_ptr<ConversationSummariesService>()> service;
        quint32 reason;
    };
    const Case cases[] = {
        {"no connection",
         [&] {
             world.reachability->setStatus(net::NetworkStatus::NotReachable);
             world.route(conversationsRequest, test::ScriptedResponse::drop());
         },
         [&] { return makeService(); }, 1},
        {"16 of another domain", [] {}, [&] { return makeService<ForeignFailureService>(); }, 2},
        {"a server error",
         [&] { world.route(conversationsRequest, SessionTestWorld::errorResponse(500, 0)); },
         [&] { return makeService(); }, 2},
        {"throttled", [] {}, [&] { return makeService(std::make_shared<RefusingThrottler>()); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world.reachability->setStatus(net::NetworkStatus::ReachableViaWiFi);
        c.arrange();
        const auto summaries = manager(c.service());
        const auto first = await(summaries->retrieveFirstPageOfConversationSummariesWithQuantity(50));
        EXPECT_EQ(peersOf(first), QStringList({"43", "42", "41"}));
        EXPECT_TRUE(first.persistenceFallBackInfo().didFallBackToPersistence());
        EXPECT_EQ(first.persistenceFallBackInfo().reason(), c.reason);
        EXPECT_EQ(first.conversationSummaries()[0]->unread(), 1u);
        // A later page: older than its older bound, whatever its newer one.
        const auto later =
            await(summaries->retrieveConversationSummariesOlderThan(inboxDate(3), inboxDate(2.5), 50));
        EXPECT_EQ(peersOf(later), QStringList({"42", "41"}));
        EXPECT_EQ(later.persistenceFallBackInfo().reason(), c.reason);
        EXPECT_EQ(storedPeers(), QStringList({"43", "42", "41"}));
    }
}

TEST_F(ConversationSummariesManagerTest, TheStoresFirstPageAsksNoOne) {
    const auto summaries = manager(makeService());
    for (const bool stored : {false, true}) {
        if (stored) storeConversation("41", inboxDate(1), 2);
        const auto page =
            await(summaries->retrieveFirstPageOfConversationSummariesFromPersistenceWithQuantity(50));
        EXPECT_EQ(peersOf(page), stored ? QStringList{"41"} : QStringList());
        EXPECT_TRUE(page.persistenceFallBackInfo().didFallBackToPersistence());
        EXPECT_EQ(page.persistenceFallBackInfo().reason(), 3u);
    }
    EXPECT_TRUE(world.requestsTo(conversationsRequest).isEmpty());
}

TEST_F(ConversationSummariesManagerTest,
       AFirstPageFromTheServiceReplacesTheStoredSummariesAndLaterPagesDoNot) {
    const auto summaries = manager(makeService());
    struct Case {
        const char* name;
        QJsonArray items;
        bool firstPage;
        QStringList page;
        QStringList storedAfter;
    };
    const Case cases[] = {
        {"a later page", QJsonArray{conversationItem("50", inboxDate(9))}, false, {"50"}, {"41"}},
        {"an empty first page", QJsonArray{}, true, {}, {}},
        {"a first page", QJsonArray{conversationItem("50", inboxDate(9))}, true, {"50"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        storeConversation("41", inboxDate(1), 2);
        world.route(conversationsRequest, conversationsAnswer(c.items));
        const auto page = await(
            c.firstPage ? summaries->retrieveFirstPageOfConversationSummariesWithQuantity(50)
                        : summaries->retrieveConversationSummariesOlderThan(inboxDate(20), inboxDate(0), 50));
        EXPECT_EQ(peersOf(page), c.page);
        EXPECT_FALSE(page.persistenceFallBackInfo().didFallBackToPersistence());
        EXPECT_EQ(page.persistenceFallBackInfo().reason(), 0u);
        EXPECT_EQ(storedPeers(), c.storedAfter);
    }
}

TEST_F(ConversationSummariesManagerTest, APagesSummariesCarryTheItemsAndItsPeersAreKnownWhenItArrives) {
    QJsonObject silent = conversationItem("51", inboxDate(5));
    silent.insert("lastMessages", QJsonArray());
    QJsonObject counted = conversationItem("50", inboxDate(9), 4);
    counted.insert("unreadPhoto", true);
    world.route(conversationsRequest, conversationsAnswer({counted, silent}));
    const auto summaries = manager(makeService());
    Promise<ConversationSummaryManagerLoadResponse> loading =
        summaries->retrieveFirstPageOfConversationSummariesWithQuantity(50);
    std::optional<QString> nameWhenArrived;
    loading.then([&](const ConversationSummaryManagerLoadResponse&) {
        const auto known = users->retrieveNearbyUserForProfileID("51");
        // A cached record comes back already resolved.
        if (known.isFulfilled()) nameWhenArrived = (*known.value())->displayName();
    });
    const auto page = await(loading);
    test::drainMainQueue();
    EXPECT_EQ(nameWhenArrived, "Peer 51");
    ASSERT_EQ(page.conversationSummaries().size(), 2u);
    const auto& first = *page.conversationSummaries()[0];
    EXPECT_EQ(first.profileID(), "50");
    EXPECT_EQ(first.unread(), 4u);
    EXPECT_TRUE(first.unreadPhoto());
    ASSERT_TRUE(first.mostRecentMessage());
    EXPECT_EQ(first.mostRecentMessage()->messageID(), "m-50");
    EXPECT_FALSE(page.conversationSummaries()[1]->mostRecentMessage());
    const auto stored = await(store->getNearbyUserForProfileID("50"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->displayName(), "Peer 50");
}

}  // namespace
}  // namespace tovrin
