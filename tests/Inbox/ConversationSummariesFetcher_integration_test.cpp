#include "Inbox/ConversationSummariesFetcher.h"

#include <gtest/gtest.h>

#include "Authentication/SessionTestWorld.h"
#include "Categories/Date+Milliseconds.h"
#include "Inbox/ConversationSummariesService.h"
#include "Inbox/InboxTestSupport.h"
#include "Persistence/TemporaryStore.h"

namespace tovrin {
namespace {

using test::conversationsRequest;

using test::await;
using test::conversationItem;
using test::conversationsAnswer;
using test::inboxDate;
using test::ScriptedResponse;
using test::SessionTestWorld;
using Items = QList<QPair<QString, QString>>;

QString milliseconds(Date date) {
    return ConversationSummariesService::dateQueryValueFromDate(date);
}

class ConversationSummariesFetcherTest : public testing::Test {
protected:
    ConversationSummariesFetcherTest() {
        world.launchSignedIn(test::inboxMember, "token-0");
        store = world.injector.get<TovrinPersistence>();
        fetcher = std::make_shared<ConversationSummariesFetcher>(
            world.injector.get<ConversationSummariesManager>());
    }

    // The query of each conversations request sent so far.
    QList<Items> queriesSent() const {
        QList<Items> queries;
        for (const auto& request : world.requestsTo(conversationsRequest)) queries << request.queryItems();
        return queries;
    }

    SessionTestWorld world;
    std::shared_ptr<TovrinPersistence> store;
    std::shared_ptr<ConversationSummariesFetcher> fetcher;
};

TEST_F(ConversationSummariesFetcherTest, PagesWidenTheWindowAndTheNextPageAsksBeyondIt) {
    // T2 first, a summary without a message between: the window is T1..T3 whatever the order.
    QJsonObject silent = conversationItem("44", inboxDate(0));
    silent.insert("lastMessages", QJsonArray());
    world.route(conversationsRequest,
                std::vector{conversationsAnswer({conversationItem("42", inboxDate(2)), silent,
                                                 conversationItem("41", inboxDate(1)),
                                                 conversationItem("43", inboxDate(3))}),
                            conversationsAnswer({})});
    EXPECT_FALSE(fetcher->canLoadNextPage());
    const auto first = await(fetcher->loadNextPage());
    EXPECT_EQ(first.conversationSummaries().size(), 4u);
    EXPECT_TRUE(fetcher->canLoadNextPage());
    EXPECT_EQ(fetcher->currentOlderThanDate(), inboxDate(1));
    EXPECT_EQ(fetcher->currentNewerThanDate(), inboxDate(3));

    const auto empty = await(fetcher->loadNextPage());
    EXPECT_TRUE(empty.conversationSummaries().empty());
    EXPECT_FALSE(fetcher->canLoadNextPage());
    EXPECT_EQ(fetcher->currentOlderThanDate(), inboxDate(1));
    EXPECT_EQ(fetcher->currentNewerThanDate(), inboxDate(3));
    EXPECT_EQ(queriesSent(), QList<Items>({{{"quantity", "50"}},
                                           {{"quantity", "50"},
                                            {"olderThan", milliseconds(inboxDate(1))},
                                            {"newerThan", milliseconds(inboxDate(3))}}}));
}

TEST_F(ConversationSummariesFetcherTest, CallersWhileAPageLoadsShareIt) {
    world.route(conversationsRequest,
                ScriptedResponse::held(conversationsAnswer({conversationItem("41", inboxDate(1))})));
    const auto first = fetcher->loadNextPage();
    const auto second = fetcher->loadNextPage();
    ASSERT_TRUE(test::runUntil([&] { return world.server.heldResponseCount() == 1; }));
    world.server.releaseHeldResponses();
    await(first);
    ASSERT_TRUE(second.isFulfilled());
    EXPECT_EQ(second.value()->conversationSummaries().size(), 1u);
    EXPECT_EQ(world.requestsTo(conversationsRequest).size(), 1);
}

TEST_F(ConversationSummariesFetcherTest, AStorePageAfterAFailedCallCountsLikeAnyPage) {
    EXPECT_TRUE(await(store->saveDirectedMessages(
        {test::receivedText("a", "41", inboxDate(1)), test::receivedText("b", "42", inboxDate(2))})));
    world.route(conversationsRequest, SessionTestWorld::errorResponse(500, 0));
    const auto page = await(fetcher->loadNextPage());
    EXPECT_EQ(page.conversationSummaries().size(), 2u);
    EXPECT_EQ(page.persistenceFallBackInfo().reason(), 2u);
    EXPECT_TRUE(fetcher->canLoadNextPage());
    EXPECT_EQ(fetcher->currentOlderThanDate(), inboxDate(1));
}

TEST_F(ConversationSummariesFetcherTest, TheStoresFirstPageOnAnEmptyStoreLeavesTheFarDates) {
    const auto page = await(fetcher->loadFirstPageFromPersistence());
    EXPECT_TRUE(page.conversationSummaries().empty());
    EXPECT_EQ(page.persistenceFallBackInfo().reason(), 3u);
    EXPECT_EQ(fetcher->currentOlderThanDate(), ConversationSummariesFetcher::distantFuture);
    EXPECT_EQ(fetcher->currentNewerThanDate(), ConversationSummariesFetcher::distantPast);
    EXPECT_FALSE(fetcher->canLoadNextPage());
    EXPECT_TRUE(world.requestsTo(conversationsRequest).isEmpty());

    world.route(conversationsRequest, conversationsAnswer({}));
    await(fetcher->loadNextPage());
    EXPECT_EQ(queriesSent(),
              QList<Items>({{{"quantity", "50"},
                             {"olderThan", milliseconds(ConversationSummariesFetcher::distantFuture)},
                             {"newerThan", milliseconds(ConversationSummariesFetcher::distantPast)}}}));
}

TEST_F(ConversationSummariesFetcherTest, ARefreshBeforeAnyPageAsksForTheFirstPage) {
    world.route(conversationsRequest, conversationsAnswer({conversationItem("41", inboxDate(1))}));
    const auto page = await(fetcher->refresh());
    EXPECT_EQ(page.conversationSummaries().size(), 1u);
    EXPECT_EQ(queriesSent(), QList<Items>({{{"quantity", "50"}}}));
}

TEST_F(ConversationSummariesFetcherTest, ARefreshStartsASecondLoadBesideTheOneInFlight) {
    world.route(conversationsRequest,
                ScriptedResponse::held(conversationsAnswer({conversationItem("41", inboxDate(1))})));
    const auto forgotten = fetcher->loadNextPage();
    const auto refreshed = fetcher->refresh();
    ASSERT_TRUE(test::runUntil([&] { return world.server.heldResponseCount() == 2; }));
    world.server.releaseHeldResponses();
    await(forgotten);
    await(refreshed);
    EXPECT_EQ(queriesSent(), QList<Items>({{{"quantity", "50"}}, {{"quantity", "50"}}}));
}

}  // namespace
}  // namespace tovrin
