#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>

#include "Chat/BlockMessage.h"
#include "Chat/ChatConversationDeletionMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "Chat/ChatMessageDeletion.h"
#include "Chat/ConversationSummary.h"
#include "Chat/FailedToSendImageMessage.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/LocationMessage.h"
#include "Chat/TextMessage.h"
#include "Persistence/TemporaryStore.h"
#include "Persistence/databasewrapper/Cursor.h"

namespace tovrin {
namespace {

using test::await;
using Messages = std::vector<std::shared_ptr<DirectedMessage>>;

const QString me = QStringLiteral("me");

std::shared_ptr<TextMessage> text(const QString& id, const QString& peer, double sentAt, bool fromXMPP = true,
                                  quint32 status = ChatMessageStatusReceived, const QString& body = "hello") {
    const bool received = status == ChatMessageStatusReceived;
    return std::make_shared<TextMessage>(id, received ? peer : me, received ? me : peer, body, Date(sentAt),
                                         status, fromXMPP);
}

std::shared_ptr<ChatMessageAcknowledgement> acknowledgement(const QString& id, quint32 type) {
    return std::make_shared<ChatMessageAcknowledgement>(id, "peer", "peer", type);
}

class ChatMessageStorageTest : public testing::Test {
protected:
    test::TemporaryStore files;
    std::shared_ptr<test::FakeClock> clock = std::make_shared<test::FakeClock>(Date(10'000));
    std::shared_ptr<TovrinPersistence> store = files.make(clock);

    QStringList column(const QString& sql) {
        QStringList values;
        auto cursor = files.open()->executeSQL(sql);
        while (const auto row = cursor->nextObject()) values << row->stringForColumn(0).value_or("NULL");
        return values;
    }
    bool save(Messages messages) { return await(store->saveDirectedMessages(std::move(messages))); }
    std::vector<std::shared_ptr<ChatMessage>> history(const QString& peer, double olderThan,
                                                      quint64 limit = 50) {
        return await(store->getChatMessagesExchangedWithProfileID(peer, Date(olderThan), limit));
    }
};

TEST_F(ChatMessageStorageTest, AMessageFromTheChatConnectionReplacesAStoredOneAndOthersNever) {
    struct Case {
        bool firstFromXMPP;
        bool secondFromXMPP;
        QString kept;
    };
    const Case cases[] = {
        {true, true, "second"}, {true, false, "first"}, {false, true, "second"}, {false, false, "first"}};
    for (const Case& testCase : cases) {
        const QString id = QStringLiteral("m-%1-%2").arg(testCase.firstFromXMPP).arg(testCase.secondFromXMPP);
        ASSERT_TRUE(save({text(id, "peer", 1, testCase.firstFromXMPP, ChatMessageStatusReceived, "first")}));
        ASSERT_TRUE(
            save({text(id, "peer", 1, testCase.secondFromXMPP, ChatMessageStatusReceived, "second")}));
        EXPECT_EQ(column("SELECT text FROM ChatMessages WHERE messageID = '" + id + "';"),
                  QStringList{testCase.kept})
            << id.toStdString();
    }
}

TEST_F(ChatMessageStorageTest, TheFirstMessageOfAPeerOpensItsConversationAndLaterOnesKeepTheCounters) {
    ASSERT_TRUE(save({text("1", "peer", 1)}));
    EXPECT_EQ(
        column("SELECT unreadMessages || '/' || unreadPhoto FROM Conversations WHERE profileID = 'peer';"),
        QStringList{"0/0"});
    ASSERT_TRUE(await(store->updateConversationForProfileID("peer", 3, true)));
    ASSERT_TRUE(save({text("2", "peer", 2)}));
    EXPECT_EQ(
        column("SELECT unreadMessages || '/' || unreadPhoto FROM Conversations WHERE profileID = 'peer';"),
        QStringList{"3/1"});
}

TEST_F(ChatMessageStorageTest, ABatchIsSavedWholeOrNotAtAll) {
    EXPECT_TRUE(save({}));
    EXPECT_TRUE(save({text("1", "peer", 1), acknowledgement("1", 1),
                      std::make_shared<BlockMessage>("b", "peer", me, Date(1), ChatMessageStatusReceived),
                      std::make_shared<ChatConversationDeletionMessage>("d", "peer")}));
    EXPECT_EQ(column("SELECT count(*) FROM ChatMessages;"), QStringList{"1"});
    EXPECT_EQ(column("SELECT count(*) FROM ChatMessageAcknowledgements;"), QStringList{"1"});

    const Messages refused[] = {
        {text("2", "other", 2), acknowledgement("2", 1),
         std::make_shared<FailedToSendImageMessage>("f", me, "other", Date(2), ChatMessageStatusFailed,
                                                    QImage())},
        {text("2", "other", 2), nullptr},
        {text("2", "other", 2),
         std::make_shared<TextMessage>("3", "other", me, std::nullopt, Date(3), 2, true)},
        {text("2", "other", 2),
         std::make_shared<ImageMediaHashMessage>("3", "other", me, Date(3), 2, "", true)},
        {text("2", "other", 2), std::make_shared<TextMessage>("", "other", me, "no id", Date(3), 2, true)},
    };
    for (const Messages& batch : refused) EXPECT_FALSE(save(batch));
    EXPECT_EQ(column("SELECT count(*) FROM ChatMessages;"), QStringList{"1"});
    EXPECT_EQ(column("SELECT count(*) FROM Conversations;"), QStringList{"1"});
    EXPECT_EQ(column("SELECT count(*) FROM ChatMessageAcknowledgements;"), QStringList{"1"});
}

TEST_F(ChatMessageStorageTest, EveryKindReadsBackAsItWasSaved) {
    auto photo = std::make_shared<ImageMediaHashMessage>("p", "peer", me, Date(2.000125), 2, "hash", true);
    auto place = std::make_shared<LocationMessage>("l", me, "peer", Date(3), 0, Coordinate{52.5, 13.4}, true);
    ASSERT_TRUE(save({text("t", "peer", 1.5), photo, place}));
    EXPECT_EQ(column("SELECT locationString FROM ChatMessages WHERE messageID = 'l';"),
              QStringList{"52.500000,13.400000"});
    const auto messages = history("peer", 100);
    ASSERT_EQ(messages.size(), 3u);
    const auto* readPlace = dynamic_cast<const LocationMessage*>(messages[0].get());
    ASSERT_TRUE(readPlace);
    EXPECT_EQ(readPlace->location(), (Coordinate{52.5, 13.4}));
    EXPECT_EQ(readPlace->exchangedInConversationWithProfileID(), "peer");
    const auto* readPhoto = dynamic_cast<const ImageMediaHashMessage*>(messages[1].get());
    ASSERT_TRUE(readPhoto);
    EXPECT_EQ(readPhoto->imageMediaHash(), "hash");
    EXPECT_EQ(readPhoto->sentDate(), Date(2.000125));
    EXPECT_EQ(readPhoto->status(), 2u);
    EXPECT_TRUE(readPhoto->didReceiveFromXMPP());
    const auto* readText = dynamic_cast<const TextMessage*>(messages[2].get());
    ASSERT_TRUE(readText);
    EXPECT_EQ(readText->text(), "hello");
    EXPECT_EQ(readText->senderProfileID(), "peer");
    EXPECT_EQ(readText->targetProfileID(), me);
}

TEST_F(ChatMessageStorageTest, LocationTextIgnoresADecimalCommaLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    ASSERT_TRUE(save(
        {std::make_shared<LocationMessage>("l", "peer", me, Date(1), 2, Coordinate{-33.25, 151.125}, true)}));
    const auto messages = history("peer", 100);
    std::setlocale(LC_NUMERIC, numeric.c_str());
    QLocale::setDefault(previous);
    EXPECT_EQ(column("SELECT locationString FROM ChatMessages;"), QStringList{"-33.250000,151.125000"});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(dynamic_cast<const LocationMessage&>(*messages[0]).location(), (Coordinate{-33.25, 151.125}));
}

TEST_F(ChatMessageStorageTest, HistoryIsTheNewestPageOfChatConnectionMessagesBeforeTheDate) {
    Messages batch;
    for (int index = 0; index < 60; ++index) batch.push_back(text(QString::number(index), "peer", index));
    batch.push_back(text("web", "peer", 30.5, false));
    batch.push_back(text("elsewhere", "other", 31));
    ASSERT_TRUE(save(batch));
    const auto page = history("peer", 55);
    ASSERT_EQ(page.size(), 50u);
    EXPECT_EQ(page.front()->messageID(), "54");
    EXPECT_EQ(page.back()->messageID(), "5");
    EXPECT_EQ(history("peer", 55, 3).size(), 3u);
    EXPECT_TRUE(history("nobody", 55).empty());
}

TEST_F(ChatMessageStorageTest, TheMostRecentMessageSkipsFailedOnes) {
    EXPECT_EQ(await(store->getMostRecentChatMessage()), nullptr);
    ASSERT_TRUE(save({text("failed", "peer", 5, true, ChatMessageStatusFailed)}));
    EXPECT_EQ(await(store->getMostRecentChatMessage()), nullptr);
    ASSERT_TRUE(save({text("sent", "other", 4, true, ChatMessageStatusSent)}));
    EXPECT_EQ(await(store->getMostRecentChatMessage())->messageID(), "sent");
}

TEST_F(ChatMessageStorageTest, OnlyReceivedAcknowledgementsCountAndRepeatsAddRows) {
    ASSERT_TRUE(save({acknowledgement("a", 0), acknowledgement("a", 2)}));
    EXPECT_FALSE(await(store->hasChatMessageBeenAcknowledgedWithMessageID("a")));
    ASSERT_TRUE(save({acknowledgement("a", 1), acknowledgement("a", 1)}));
    EXPECT_TRUE(await(store->hasChatMessageBeenAcknowledgedWithMessageID("a")));
    EXPECT_EQ(column("SELECT count(*) FROM ChatMessageAcknowledgements;"), QStringList{"4"});
}

TEST_F(ChatMessageStorageTest, PruningTakesDeletionsAndAcknowledgementsOfRemovedMessagesAlong) {
    ASSERT_TRUE(save({text("old", "peer", 1), text("new", "peer", 20), acknowledgement("old", 1),
                      acknowledgement("new", 1), acknowledgement("never stored", 1),
                      std::make_shared<ChatMessageDeletion>(QStringList{"old", "new"}, "peer")}));
    EXPECT_TRUE(await(store->removeDirectedMessagesSentBeforeDate(Date(10))));
    EXPECT_EQ(column("SELECT messageID FROM ChatMessages;"), QStringList{"new"});
    EXPECT_EQ(column("SELECT messageID FROM ChatMessageDeletions;"), QStringList{"new"});
    EXPECT_EQ(column("SELECT acknowledgedMessageID FROM ChatMessageAcknowledgements ORDER BY 1;"),
              QStringList({"never stored", "new"}));
    EXPECT_EQ(column("SELECT count(*) FROM Conversations;"), QStringList{"1"});
    EXPECT_TRUE(await(store->executeOnSqlQueue<bool>([&] {
        auto cursor = store->database()->executeSQL(QStringLiteral("PRAGMA foreign_keys;"));
        return cursor->nextObject()->intForColumn(0) == 0;
    })));
}

TEST_F(ChatMessageStorageTest, SummariesListEachConversationByItsNewestMessage) {
    ASSERT_TRUE(save({text("a1", "alice", 100), text("a2", "alice", 300, true, ChatMessageStatusSent),
                      text("b1", "bob", 200), text("b2", "bob", 250, false), text("c1", "carol", 9'000),
                      text("c2", "carol", 20'000)}));
    ASSERT_TRUE(await(store->updateConversationForProfileID("alice", 2, true)));
    // A peer with messages but no conversation row, and one with a row but no messages.
    ASSERT_TRUE(save({text("d1", "dave", 400)}));
    ASSERT_TRUE(await(store->removeConversationForProfileID("dave")));
    ASSERT_TRUE(await(store->updateConversationForProfileID("erin", 1, false)));

    const auto summaries = await(store->getConversationSummariesOlderThan(std::nullopt, 10));
    ASSERT_EQ(summaries.size(), 2u);
    EXPECT_EQ(summaries[0]->profileID(), "alice");
    EXPECT_EQ(summaries[0]->mostRecentMessage()->messageID(), "a2");
    EXPECT_EQ(summaries[0]->mostRecentMessage()->targetProfileID(), "alice");
    EXPECT_EQ(summaries[0]->unread(), 2u);
    EXPECT_TRUE(summaries[0]->unreadPhoto());
    EXPECT_EQ(summaries[1]->profileID(), "bob");
    EXPECT_EQ(summaries[1]->mostRecentMessage()->messageID(), "b2");
    EXPECT_FALSE(
        dynamic_cast<const ArchivableChatMessage&>(*summaries[1]->mostRecentMessage()).didReceiveFromXMPP());

    const auto older = await(store->getConversationSummariesOlderThan(Date(260), 10));
    ASSERT_EQ(older.size(), 1u);
    EXPECT_EQ(older[0]->profileID(), "bob");
    EXPECT_EQ(await(store->getConversationSummariesOlderThan(Date(1e9), 1)).size(), 1u);
    EXPECT_EQ(await(store->getConversationSummariesOlderThan(Date(1e9), 10)).size(), 3u);

    ASSERT_TRUE(await(store->removeAllConversationSummaries()));
    EXPECT_TRUE(await(store->getConversationSummariesOlderThan(std::nullopt, 10)).empty());
    EXPECT_EQ(column("SELECT count(*) FROM ChatMessages;"), QStringList{"7"});
}

TEST_F(ChatMessageStorageTest, ARemovedConversationReturnsWithTheNextMessage) {
    ASSERT_TRUE(save({text("1", "peer", 1)}));
    ASSERT_TRUE(await(store->removeConversationForProfileID("peer")));
    EXPECT_TRUE(await(store->getConversationSummariesOlderThan(std::nullopt, 10)).empty());
    ASSERT_TRUE(save({text("2", "peer", 2)}));
    const auto summaries = await(store->getConversationSummariesOlderThan(std::nullopt, 10));
    ASSERT_EQ(summaries.size(), 1u);
    EXPECT_EQ(summaries[0]->mostRecentMessage()->messageID(), "2");
}

TEST_F(ChatMessageStorageTest, ArchivePositionsAreKeptPerPeerAndMissingIdsStayMissing) {
    const auto none = await(store->getArchiveMessageResultIDsForTargetProfileID("peer"));
    EXPECT_FALSE(none.oldestArchiveResultID());
    EXPECT_FALSE(none.newestArchiveResultID());
    ASSERT_TRUE(await(store->updateInboxHistoryForProfileID("peer", ArchiveMessageResultIDs("old", "new"))));
    ASSERT_TRUE(
        await(store->updateInboxHistoryForProfileID("peer", ArchiveMessageResultIDs("older", std::nullopt))));
    const auto ids = await(store->getArchiveMessageResultIDsForTargetProfileID("peer"));
    EXPECT_EQ(ids.oldestArchiveResultID(), "older");
    EXPECT_FALSE(ids.newestArchiveResultID());
}

}  // namespace
}  // namespace tovrin
