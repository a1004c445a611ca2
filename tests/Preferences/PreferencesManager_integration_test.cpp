// The server-side preferences fed to the member session's managers: the real session, container and
// stores, against the loopback server.

#include "Preferences/PreferencesManager.h"

#include <gtest/gtest.h>

#include "Authentication/SessionTestWorld.h"
#include "Chat/SavedPhrasesManager.h"
#include "Chat/UserImageHashManager.h"
#include "Preferences/PreferencesJSONMapper.h"
#include "platform/foundation/JSON.h"

namespace tovrin {
namespace {

using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;

QByteArray preferencesAnswer(const QString& phrase, const QString& photo) {
    return QStringLiteral(R"({"phrases":{"k":{"phraseId":"id-%1","phraseText":"%1","timestamp":1}},)"
                          R"("chatPix":{"k":{"mediaHash":"%2"}}})")
        .arg(phrase, photo)
        .toUtf8();
}

TEST(PreferencesJSONMapper, ReadsChatPhotoHashesInObjectOrderSkippingEntriesWithoutAStringHash) {
    const auto answer = JSON::parse(R"({
        "chatPix": {"a": {"mediaHash": "h1"}, "b": {"mediaHash": null}, "c": {"mediaHash": 3},
                    "d": "h4", "e": {}, "f": {"mediaHash": "h6"}, "g": {"mediaHash": "h7"}},
        "phrases": {"p": {"phraseId": "1", "phraseText": "Hi"}},
        "other": 1
    })")
                            ->toObject();
    const Preferences preferences = PreferencesJSONMapper().preferencesWithJSONDictionary(answer);
    EXPECT_EQ(preferences.chatPix(), QStringList({"h1", "h6", "h7"}));
    EXPECT_EQ(preferences.phrases(), answer.value("phrases").toObject());

    const Preferences empty = PreferencesJSONMapper().preferencesWithJSONDictionary(QJsonObject());
    EXPECT_TRUE(empty.chatPix().isEmpty());
    EXPECT_FALSE(empty.phrases());
}

class PreferencesManagerTest : public testing::Test {
protected:
    PreferencesManagerTest() {
        world.route("GET /v3/me/prefs",
                    ScriptedResponse::json(200, preferencesAnswer("Ann's phrase", "ann-photo")));
        world.launchSignedIn("7");
        manager = world.injector.get<PreferencesManager>();
    }

    qsizetype fetches() {
        world.settleAll();
        return world.requestsTo("GET /v3/me/prefs").size();
    }

    // Waits until the member's managers hold what the answer gave.
    static bool fed(const std::shared_ptr<UserSession>& session, const QString& phrase,
                    const QString& photo) {
        return test::runUntil([&] {
            return session->savedPhrasesManager()->savedPhrases() == QStringList{phrase} &&
                   session->userImageHashManager()->imageHashes() == QStringList{photo};
        });
    }

    SessionTestWorld world;
    std::shared_ptr<PreferencesManager> manager;
};

TEST_F(PreferencesManagerTest, OneFetchPerSessionHoweverOftenAsked) {
    EXPECT_EQ(manager, world.injector.get<PreferencesManager>());
    manager->retrievePreferences();
    manager->retrievePreferences();
    EXPECT_TRUE(fed(UserSession::sharedSession(), "Ann's phrase", "ann-photo"));
    manager->retrievePreferences();
    EXPECT_EQ(fetches(), 1);
    EXPECT_EQ(
        UserSession::sharedSession()->savedPhrasesManager()->savedPhraseForText("Ann's phrase")->phraseID(),
        "id-Ann's phrase");
}

TEST_F(PreferencesManagerTest, AFailedFetchIsTriedAgainAtTheNextCall) {
    world.route("GET /v3/me/prefs",
                std::vector<ScriptedResponse>{
                    ScriptedResponse::json(500, "{}"),
                    ScriptedResponse::json(200, preferencesAnswer("Again", "again-photo"))});
    manager->retrievePreferences();
    EXPECT_EQ(fetches(), 1);
    EXPECT_TRUE(UserSession::sharedSession()->savedPhrasesManager()->savedPhrases().isEmpty());

    manager->retrievePreferences();
    EXPECT_TRUE(fed(UserSession::sharedSession(), "Again", "again-photo"));
    EXPECT_EQ(fetches(), 2);
}

TEST_F(PreferencesManagerTest, ANewMemberSessionFetchesItsOwnAndTheFirstMembersManagersGetNothing) {
    manager->retrievePreferences();
    ASSERT_TRUE(fed(UserSession::sharedSession(), "Ann's phrase", "ann-photo"));
    const auto annsPhrases = UserSession::sharedSession()->savedPhrasesManager();
    const auto annsPhotos = UserSession::sharedSession()->userImageHashManager();

    UserSession::sharedSession()->logout();
    world.route("GET /v3/me/prefs",
                ScriptedResponse::json(200, preferencesAnswer("Bob's phrase", "bob-photo")));
    world.launchSignedIn("8", "token-8");
    manager->retrievePreferences();

    EXPECT_TRUE(fed(UserSession::sharedSession(), "Bob's phrase", "bob-photo"));
    EXPECT_EQ(fetches(), 2);
    EXPECT_NE(UserSession::sharedSession()->savedPhrasesManager(), annsPhrases);
    EXPECT_EQ(annsPhrases->savedPhrases(), QStringList({"Ann's phrase"}));
    EXPECT_EQ(annsPhotos->imageHashes(), QStringList({"ann-photo"}));
}

TEST_F(PreferencesManagerTest, AnAnswerArrivingAfterSignOutFeedsNobody) {
    world.route("GET /v3/me/prefs",
                ScriptedResponse::held(ScriptedResponse::json(200, preferencesAnswer("Late", "late-photo"))));
    const auto phrases = UserSession::sharedSession()->savedPhrasesManager();
    const auto photos = UserSession::sharedSession()->userImageHashManager();
    manager->retrievePreferences();
    ASSERT_TRUE(test::runUntil([&] { return world.requestsTo("GET /v3/me/prefs").size() == 1; }));

    UserSession::sharedSession()->logout();
    world.server.releaseHeldResponses();
    world.settleAll();
    EXPECT_TRUE(phrases->savedPhrases().isEmpty());
    EXPECT_TRUE(photos->imageHashes().isEmpty());

    world.launchSignedIn("8", "token-8");
    world.settleAll();
    EXPECT_TRUE(UserSession::sharedSession()->savedPhrasesManager()->savedPhrases().isEmpty());
    EXPECT_TRUE(UserSession::sharedSession()->userImageHashManager()->imageHashes().isEmpty());
}

TEST_F(PreferencesManagerTest, NothingIsFetchedWhileNobodyIsSignedIn) {
    UserSession::sharedSession()->logout();
    EXPECT_EQ(UserSession::sharedSession()->savedPhrasesManager(), nullptr);
    EXPECT_EQ(UserSession::sharedSession()->userImageHashManager(), nullptr);
    manager->retrievePreferences();
    EXPECT_EQ(fetches(), 0);
}

}  // namespace
}  // namespace tovrin
