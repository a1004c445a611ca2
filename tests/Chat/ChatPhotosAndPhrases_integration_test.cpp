// The member's own chat photos and saved phrases over a real store file, the phrases' service
// calls against the loopback server.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "Authentication/SessionTestWorld.h"
#include "Chat/SavedPhrasesJSONMapper.h"
#include "Chat/SavedPhrasesManager.h"
#include "Chat/SavedPhrasesService.h"
#include "Chat/UserImageHashManager.h"
#include "Persistence/TemporaryStore.h"
#include "platform/foundation/JSON.h"

namespace tovrin {
namespace {

using test::await;
using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;

// The stored JSON value, as the store's file holds it, read after everything asked before.
QJsonValue storedValue(const std::shared_ptr<TovrinPersistence>& store, const QString& type) {
    return await(store->getObjectOfType(type)).value_or(QJsonValue());
}

// ---- own chat photos

class UserImageHashManagerTest : public testing::Test {
protected:
    test::TemporaryStore files;
    std::shared_ptr<TovrinPersistence> store = files.make();
};

TEST_F(UserImageHashManagerTest, HashesAddedGoFirstOnceAndTheWholeListIsStored) {
    UserImageHashManager manager(store);
    manager.addImageHash("a");
    manager.addImageHash("b");
    EXPECT_EQ(manager.imageHashes(), QStringList({"b", "a"}));
    EXPECT_EQ(storedValue(store, "ImageHash"), QJsonArray({"b", "a"}));

    // A listed hash keeps its place; the list is written all the same.
    ASSERT_TRUE(await(store->saveImageHashes({"stale"})));
    manager.addImageHash("a");
    EXPECT_EQ(manager.imageHashes(), QStringList({"b", "a"}));
    EXPECT_EQ(storedValue(store, "ImageHash"), QJsonArray({"b", "a"}));
}

TEST_F(UserImageHashManagerTest, AppendingSkipsListedHashesAndAnEmptyArrayWritesNothing) {
    UserImageHashManager manager(store);
    manager.addImageHash("a");
    manager.addImageHashes({"c", "a", "d", "c"});
    EXPECT_EQ(manager.imageHashes(), QStringList({"a", "c", "d"}));
    EXPECT_EQ(storedValue(store, "ImageHash"), QJsonArray({"a", "c", "d"}));

    ASSERT_TRUE(await(store->saveImageHashes({"untouched"})));
    manager.addImageHashes({});
    EXPECT_EQ(storedValue(store, "ImageHash"), QJsonArray({"untouched"}));
    EXPECT_EQ(manager.imageHashes(), QStringList({"a", "c", "d"}));
}

TEST_F(UserImageHashManagerTest, TheStoredListLoadsBehindHashesAddedMeanwhile) {
    ASSERT_TRUE(await(store->saveImageHashes({"s1", "new", "s2"})));
    UserImageHashManager manager(store);
    manager.addImageHash("new");
    EXPECT_TRUE(test::runUntil([&] { return manager.imageHashes().size() == 3; }));
    EXPECT_EQ(manager.imageHashes(), QStringList({"new", "s1", "s2"}));

    // The merged list was stored (a read queued behind the write sees it): another manager over the
    // same file starts where this one left off.
    EXPECT_EQ(await(store->getImageHashes()), QStringList({"new", "s1", "s2"}));
    UserImageHashManager next(files.make());
    EXPECT_TRUE(test::runUntil([&] { return next.imageHashes().size() == 3; }));
    EXPECT_EQ(next.imageHashes(), QStringList({"new", "s1", "s2"}));
}

// ---- saved phrases

TEST(SavedPhrasesJSONMapper, ReadsStringEntriesInObjectOrderAndSkipsTheRest) {
    const auto phrases = JSON::parse(R"({
        "a": {"phraseId": "p1", "phraseText": "Hi", "timestamp": 1500},
        "b": {"phraseId": 42, "phraseText": "Integer id"},
        "c": {"phraseId": null, "phraseText": "Null id"},
        "d": {"phraseId": "p4", "phraseText": null},
        "e": {"phraseId": "p5", "phraseText": 7},
        "f": {"phraseId": 4.5, "phraseText": "Fractional id"},
        "g": "not an entry",
        "h": {"phraseId": "p8", "phraseText": "", "timestamp": "soon"}
    })")
                             ->toObject();
    struct Expected {
        const char* phraseID;
        const char* phrase;
        std::optional<double> timestamp;
    };
    const std::vector<Expected> expected = {
        {"p1", "Hi", 1500}, {"42", "Integer id", std::nullopt}, {"p8", "", std::nullopt}};

    const QList<SavedPhrase> records = SavedPhrasesJSONMapper().savedPhrasesWithJSONDictionary(phrases);

    ASSERT_EQ(records.size(), qsizetype(expected.size()));
    for (size_t index = 0; index < expected.size(); ++index) {
        EXPECT_EQ(records[index].phraseID(), expected[index].phraseID);
        EXPECT_EQ(records[index].phrase(), expected[index].phrase);
        EXPECT_EQ(records[index].timestamp(), expected[index].timestamp);
    }
}

// A member signed in against the loopback server; the manager under test has its own store file.
// Creates answer "phraseId" "id-<text>" unless a test routes them otherwise.
class SavedPhrasesManagerTest : public testing::Test {
protected:
    SavedPhrasesManagerTest() {
        world.launchSignedIn();
        world.route("POST /v3/me/prefs/phrases", [](const RecordedRequest& request) {
            const QString text = JSON::parse(request.body)->toObject().value("phrase").toString();
            return ScriptedResponse::json(200,
                                          QJsonDocument(QJsonObject{{"phraseId", "id-" + text}}).toJson());
        });
        manager = std::make_shared<SavedPhrasesManager>(store, world.injector.get<SavedPhrasesService>());
        world.settleAll();
    }

    // "METHOD path" of what the test's steps sent, once every answer arrived.
    QStringList sent() {
        world.settleAll();
        QStringList names;
        for (const RecordedRequest& request : world.requests()) {
            if (request.path != "/v3/bootstrap") names.append(SessionTestWorld::nameOf(request));
        }
        return names;
    }

    void releaseCreatesOnceSent(qsizetype count) {
        ASSERT_TRUE(
            test::runUntil([&] { return world.requestsTo("POST /v3/me/prefs/phrases").size() == count; }));
        world.server.releaseHeldResponses();
    }

    QJsonValue stored() { return storedValue(store, "SavedPhrases"); }

    static SavedPhrase record(const QString& id, const QString& text) { return SavedPhrase(id, text, 1.0); }

    SessionTestWorld world;
    test::TemporaryStore files;
    std::shared_ptr<TovrinPersistence> store = files.make();
    std::shared_ptr<SavedPhrasesManager> manager;
};

TEST_F(SavedPhrasesManagerTest, AddingPutsTheTextFirstAndStoresItBeforeTheServiceAnswers) {
    world.route("POST /v3/me/prefs/phrases",
                ScriptedResponse::held(ScriptedResponse::json(200, R"({"phraseId":"x"})")));
    EXPECT_TRUE(manager->addSavedPhrase("Hello"));
    EXPECT_TRUE(manager->addSavedPhrase("hello"));
    EXPECT_EQ(manager->savedPhrases(), QStringList({"hello", "Hello"}));
    EXPECT_EQ(stored(), QJsonArray({"hello", "Hello"}));
    EXPECT_FALSE(manager->savedPhraseForText("Hello"));

    EXPECT_FALSE(manager->addSavedPhrase("Hello"));
    releaseCreatesOnceSent(2);
    EXPECT_EQ(sent(), QStringList({"POST /v3/me/prefs/phrases", "POST /v3/me/prefs/phrases"}));
    EXPECT_EQ(JSON::parse(world.requestsTo("POST /v3/me/prefs/phrases")[0].body),
              QJsonValue(QJsonObject({{"phrase", "Hello"}})));
    EXPECT_EQ(manager->savedPhraseForText("Hello")->phraseID(), "x");
}

TEST_F(SavedPhrasesManagerTest, DeletingSendsOneDeletePerKnownRecordOnly) {
    manager->addSavedPhrase("Known a/b");
    manager->addSavedPhrase("Known");
    world.settleAll();
    world.route("POST /v3/me/prefs/phrases", ScriptedResponse::json(500, "{}"));
    manager->addSavedPhrase("Never answered");
    const qsizetype before = sent().size();

    manager->deleteSavedPhrases({"Known a/b", "Never answered", "Known"});

    EXPECT_TRUE(manager->savedPhrases().isEmpty());
    EXPECT_EQ(stored(), QJsonArray());
    EXPECT_EQ(sent().mid(before), QStringList({"DELETE /v3/me/prefs/phrases/id-Known%20a%2Fb",
                                               "DELETE /v3/me/prefs/phrases/id-Known"}));
}

// The deletion happened before the service knew the record: without a delete now, the phrase would
// come back with the next takeover.
TEST_F(SavedPhrasesManagerTest, ACreateAnswerForADeletedTextDeletesThatRecordAtOnce) {
    world.route("POST /v3/me/prefs/phrases",
                ScriptedResponse::held(ScriptedResponse::json(200, R"({"phraseId":7})")));
    manager->addSavedPhrase("Gone");
    manager->deleteSavedPhrases({"Gone"});
    releaseCreatesOnceSent(1);

    EXPECT_EQ(sent(), QStringList({"POST /v3/me/prefs/phrases", "DELETE /v3/me/prefs/phrases/7"}));
    EXPECT_FALSE(manager->savedPhraseForText("Gone"));
    EXPECT_TRUE(manager->savedPhrases().isEmpty());
}

TEST_F(SavedPhrasesManagerTest, ACreateAnswerIdIsReadAsTheMapperReadsIt) {
    struct Case {
        const char* text;
        QByteArray answer;
        std::optional<QString> phraseID;
    };
    for (const Case& c :
         {Case{"string", R"({"phraseId":"s1"})", "s1"}, Case{"integer", R"({"phraseId":12})", "12"},
          Case{"null", R"({"phraseId":null})", std::nullopt}, Case{"absent", R"({})", std::nullopt}}) {
        SCOPED_TRACE(c.text);
        world.route("POST /v3/me/prefs/phrases", ScriptedResponse::json(200, c.answer));
        manager->addSavedPhrase(c.text);
        world.settleAll();
        const auto record = manager->savedPhraseForText(c.text);
        EXPECT_EQ(record ? std::optional(record->phraseID()) : std::nullopt, c.phraseID);
    }
}

TEST_F(SavedPhrasesManagerTest, ATakeoverKeepsEachTextsFirstRecordInReverseOrderAndStoresOnce) {
    manager->addSavedPhrase("Local only");
    world.settleAll();

    manager->initialServerRetrieval({record("1", "A"), record("2", "B"), record("3", "A"), record("4", "C")});

    EXPECT_EQ(manager->savedPhrases(), QStringList({"C", "B", "A"}));
    EXPECT_EQ(stored(), QJsonArray({"C", "B", "A"}));
    EXPECT_FALSE(manager->savedPhraseForText("Local only"));
    const qsizetype before = sent().size();
    manager->deleteSavedPhrases({"A"});
    EXPECT_EQ(sent().mid(before), QStringList({"DELETE /v3/me/prefs/phrases/1"}));
}

TEST_F(SavedPhrasesManagerTest, AnEmptyTakeoverEmptiesTheListAndTheStore) {
    manager->addSavedPhrase("Hello");
    world.settleAll();
    manager->initialServerRetrieval({});
    EXPECT_TRUE(manager->savedPhrases().isEmpty());
    EXPECT_EQ(stored(), QJsonArray());
}

TEST_F(SavedPhrasesManagerTest, TheStoredListLoadsBehindTextsAddedMeanwhile) {
    ASSERT_TRUE(await(store->saveSavedPhrases({"s1", "New", "s2"})));
    auto next = std::make_shared<SavedPhrasesManager>(store, world.injector.get<SavedPhrasesService>());
    next->addSavedPhrase("New");
    ASSERT_TRUE(test::runUntil([&] { return next->savedPhrases().size() == 3; }));
    EXPECT_EQ(next->savedPhrases(), QStringList({"New", "s1", "s2"}));
    EXPECT_EQ(stored(), QJsonArray({"New", "s1", "s2"}));
}

TEST_F(SavedPhrasesManagerTest, AnIdThatCannotBeOnePathSegmentIsNotSent) {
    const auto service = world.injector.get<SavedPhrasesService>();
    const auto deleted = service->deleteSavedPhrases({record("..", "a"), record("ok", "b")});
    ASSERT_TRUE(test::waitFor(deleted));
    EXPECT_TRUE(deleted.isRejected());
    EXPECT_EQ(sent(), QStringList({"DELETE /v3/me/prefs/phrases/ok"}));
}

}  // namespace
}  // namespace tovrin
