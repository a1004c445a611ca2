#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "API/NearbyUser.h"
#include "Cascade/Filter/CascadeFilter.h"
#include "Cascade/Filter/Filter.h"
#include "Chat/LastSeenMessageInfo.h"
#include "Persistence/TemporaryStore.h"
#include "Persistence/databasewrapper/Cursor.h"
#include "Rules/ConfigurationRules.h"

namespace tovrin {
namespace {

using test::await;

class ProfilesAndObjectsTest : public testing::Test {
protected:
    test::TemporaryStore files;
    std::shared_ptr<test::FakeClock> clock = std::make_shared<test::FakeClock>(Date(1'700'000'000));
    std::shared_ptr<TovrinPersistence> store = files.make(clock);

    QStringList rows(const QString& sql) {
        QStringList values;
        auto cursor = files.open()->executeSQL(sql);
        while (const auto row = cursor->nextObject()) values << row->stringForColumn(0).value_or("NULL");
        return values;
    }
};

TEST_F(ProfilesAndObjectsTest, AUserReadsBackWithEveryFieldOfItsJSONForm) {
    EXPECT_EQ(await(store->getNearbyUserForProfileID("42")), nullptr);
    auto user = std::make_shared<NearbyUser>("42", "Ann", "hash", 31,
                                             clock->now().addingTimeInterval(-60.0005), 1200.5, true, false);
    ASSERT_TRUE(await(store->saveNearbyUser(user)));
    user->setDisplayName("Ann B.");
    ASSERT_TRUE(await(store->saveNearbyUser(user)));
    EXPECT_EQ(rows("SELECT displayName || '/' || isFavorite FROM Profiles;"), QStringList{"Ann B./1"});
    const auto read = await(store->getNearbyUserForProfileID("42"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->profileID(), "42");
    EXPECT_EQ(read->displayName(), "Ann B.");
    EXPECT_EQ(read->mediaHash(), "hash");
    EXPECT_EQ(read->age(), 31);
    EXPECT_EQ(read->lastSeen(), Date::fromMillisecondsSince1970(1'699'999'939'999));  // whole milliseconds
    EXPECT_EQ(read->distance(), 1200.5);
    EXPECT_TRUE(read->isFavorite());
    EXPECT_TRUE(read->isOnline());
}

TEST_F(ProfilesAndObjectsTest, AUserWithoutAProfileIdIsRefused) {
    EXPECT_FALSE(await(store->saveNearbyUser(std::make_shared<NearbyUser>(
        "", "x", std::nullopt, std::nullopt, std::nullopt, std::nullopt, false, false))));
    EXPECT_FALSE(await(store->saveNearbyUser(nullptr)));
    EXPECT_EQ(rows("SELECT count(*) FROM Profiles;"), QStringList{"0"});
}

// Saves in a row share one write; work queued between them keeps its place in the order.
TEST_F(ProfilesAndObjectsTest, SavesInARowAreWrittenTogetherAndNeverAfterLaterWork) {
    auto named = [](const QString& id, const QString& name) {
        return std::make_shared<NearbyUser>(id, name, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                            false, false);
    };
    std::vector<Promise<bool>> saves;
    for (int index = 0; index < 50; ++index)
        saves.push_back(store->saveNearbyUser(named(QString::number(index), "A")));
    const auto readBetween = store->getNearbyUserForProfileID("7");
    const auto renamed = store->saveNearbyUser(named("7", "B"));
    EXPECT_EQ(await(readBetween)->displayName(), "A");
    for (const auto& save : saves) EXPECT_TRUE(await(save));
    EXPECT_TRUE(await(renamed));
    EXPECT_EQ(await(store->getNearbyUserForProfileID("49"))->displayName(), "A");
    EXPECT_EQ(await(store->getNearbyUserForProfileID("7"))->displayName(), "B");
}

TEST_F(ProfilesAndObjectsTest, EveryNamedObjectRoundTripsUnderItsOwnName) {
    EXPECT_FALSE(await(store->getFilter()));
    EXPECT_FALSE(await(store->getCascadeFilter()));
    EXPECT_FALSE(await(store->getConfigurationRules()));
    EXPECT_FALSE(await(store->getLastSeenMessageInfo()));
    EXPECT_FALSE(await(store->getImageHashes()));
    EXPECT_FALSE(await(store->getSavedPhrases()));

    const Filter filter(ToggleFilterOption(true), MinMaxFilterOption(true, 25, std::nullopt),
                        MinMaxFilterOption(false, 60'000.5, 90'000),
                        MinMaxFilterOption(false, std::nullopt, std::nullopt), OptionsFilterOption(false, {}),
                        OptionsFilterOption(true, {2, -1}), OptionsFilterOption(false, {}),
                        OptionsFilterOption(true, {3, 5}), OptionsFilterOption(false, {1}));
    ASSERT_TRUE(await(store->saveFilter(filter)));
    ASSERT_TRUE(await(store->saveCascadeFilter(CascadeFilter(true, false, true))));
    ASSERT_TRUE(
        await(store->saveConfigurationRules(ConfigurationRules(Date(1'500'000'000.0005), AppRules(7)))));
    ASSERT_TRUE(await(store->saveLastSeenMessageInfo(LastSeenMessageInfo(Date(1.5), "m1"))));
    ASSERT_TRUE(await(store->saveImageHashes({"h2", "h1"})));
    ASSERT_TRUE(await(store->saveSavedPhrases({"Hi", "Bye"})));

    EXPECT_EQ(*await(store->getFilter()), filter);
    const auto switches = await(store->getCascadeFilter());
    EXPECT_TRUE(switches->onlineNow());
    EXPECT_FALSE(switches->myType());
    EXPECT_TRUE(switches->favorite());
    const auto rules = await(store->getConfigurationRules());
    EXPECT_EQ(rules->serverTime(), Date(1'500'000'000.0005));
    EXPECT_EQ(rules->app().maxCascadePages(), 7u);
    const auto info = await(store->getLastSeenMessageInfo());
    EXPECT_EQ(info->sentDate(), Date(1.5));
    EXPECT_EQ(info->messageID(), "m1");
    EXPECT_EQ(await(store->getImageHashes()), QStringList({"h2", "h1"}));
    EXPECT_EQ(await(store->getSavedPhrases()), QStringList({"Hi", "Bye"}));
    EXPECT_EQ(rows("SELECT objectName FROM JSONObjects ORDER BY 1;"),
              QStringList(
                  {"CascadeFilter", "Filter", "ImageHash", "LastSeenMessageInfo", "Rules", "SavedPhrases"}));
    EXPECT_EQ(
        rows("SELECT CAST(JSONRepresentation AS TEXT) FROM JSONObjects WHERE objectName = 'ImageHash';"),
        QStringList{"[\"h2\",\"h1\"]"});
}

TEST_F(ProfilesAndObjectsTest, ALastSeenMarkerKeepsItsDateOrItsLackOfOne) {
    struct Case {
        std::optional<Date> sentDate;
        const char* stored;
    };
    const Case cases[] = {
        {Date(1.5), R"({"messageID":"m","sentDate":1500})"},
        // Not 0, which would read back as the first instant of 1970.
        {std::nullopt, R"({"messageID":"m","sentDate":null})"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.stored);
        ASSERT_TRUE(await(store->saveLastSeenMessageInfo(LastSeenMessageInfo(testCase.sentDate, "m"))));
        EXPECT_EQ(rows("SELECT CAST(JSONRepresentation AS TEXT) FROM JSONObjects "
                       "WHERE objectName = 'LastSeenMessageInfo';"),
                  QStringList{testCase.stored});
        const auto info = await(store->getLastSeenMessageInfo());
        ASSERT_TRUE(info);
        EXPECT_EQ(info->sentDate(), testCase.sentDate);
        EXPECT_EQ(info->messageID(), "m");
    }
}

TEST_F(ProfilesAndObjectsTest, RulesWithoutAServerTimeKeepItAbsent) {
    ASSERT_TRUE(await(store->saveConfigurationRules(ConfigurationRules(std::nullopt, AppRules(3)))));
    const auto rules = await(store->getConfigurationRules());
    EXPECT_FALSE(rules->serverTime());
    EXPECT_EQ(rules->app().maxCascadePages(), 3u);
}

TEST_F(ProfilesAndObjectsTest, ASecondSaveReplacesTheFirstAndOnlyContainersAreAccepted) {
    ASSERT_TRUE(await(store->saveImageHashes({"a"})));
    ASSERT_TRUE(await(store->saveImageHashes({"b"})));
    ASSERT_TRUE(await(store->saveSavedPhrases({"phrase"})));
    EXPECT_EQ(await(store->getImageHashes()), QStringList{"b"});
    EXPECT_EQ(await(store->getSavedPhrases()), QStringList{"phrase"});
    EXPECT_FALSE(await(store->saveJSONObjectOfType("Scalar", QJsonValue(5))));
    EXPECT_FALSE(await(store->getObjectOfType("Scalar")));
    ASSERT_TRUE(await(store->saveJSONObjectOfType("Custom", QJsonObject{{"k", 1}})));
    EXPECT_EQ(await(store->getObjectOfType("Custom")), QJsonValue(QJsonObject{{"k", 1}}));
}

TEST_F(ProfilesAndObjectsTest, AStoredTextThatDoesNotParseReadsAsNothing) {
    ASSERT_TRUE(await(store->executeOnSqlQueue<bool>([&] {
        return store->database()->executeSQL(
                   QStringLiteral("INSERT INTO JSONObjects VALUES ('Filter', 'not json');")) != nullptr;
    })));
    EXPECT_FALSE(await(store->getFilter()));
}

TEST_F(ProfilesAndObjectsTest, BroadcastIdsExpireStrictlyBeforeNow) {
    const Date now = clock->now();
    ASSERT_TRUE(await(store->saveBroadcastMessageID("expired", now.addingTimeInterval(-0.001))));
    ASSERT_TRUE(await(store->saveBroadcastMessageID("now", now)));
    ASSERT_TRUE(await(store->saveBroadcastMessageID("later", now.addingTimeInterval(-10))));
    ASSERT_TRUE(await(store->saveBroadcastMessageID("later", now.addingTimeInterval(60))));
    EXPECT_EQ(rows("SELECT count(*) FROM BroadcastMessages WHERE broadcastMessageID = 'later';"),
              QStringList{"1"});
    EXPECT_FALSE(await(store->broadcastMessageIDExists("never")));
    ASSERT_TRUE(await(store->removeExpiredBroadcastMessages()));
    for (const char* id : {"now", "later"}) EXPECT_TRUE(await(store->broadcastMessageIDExists(id))) << id;
    EXPECT_FALSE(await(store->broadcastMessageIDExists("expired")));
}

}  // namespace
}  // namespace tovrin
