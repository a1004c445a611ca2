#include <QJsonArray>

#include "sandbox/SandboxTestSupport.h"

namespace tovrin {
namespace {

using test::SandboxTest;

class PreferenceEndpointsTest : public SandboxTest {
protected:
    sandbox::SandboxOptions options() const override {
        sandbox::SandboxOptions options = SandboxTest::options();
        options.blocksLimit = 2;
        return options;
    }

    QJsonObject preferences() {
        return answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/prefs", std::nullopt)));
    }

    Promise<QJsonValue> block(const QString& profileID) {
        return sendSignedIn(
            TovrinAPIRequest::POSTRequestWithPath("/v3/me/blocks/" + profileID, std::nullopt, std::nullopt));
    }
};

TEST_F(PreferenceEndpointsTest, SavedPhrasesAreCreatedListedAndDeleted) {
    signInAsDemoMember();
    // Every member starts with a few seeded phrases.
    const qsizetype seeded = preferences().value("phrases").toObject().size();
    ASSERT_GE(seeded, 2);
    auto save = [&](const QString& text) {
        return sendSignedIn(TovrinAPIRequest::POSTRequestWithPath("/v3/me/prefs/phrases", std::nullopt,
                                                                  QJsonObject{{"phrase", text}}));
    };
    const QString first = answerOf(save("See you there")).value("phraseId").toString();
    const QString second = answerOf(save("On my way")).value("phraseId").toString();
    ASSERT_FALSE(first.isEmpty());
    ASSERT_NE(first, second);
    const QJsonObject phrases = preferences().value("phrases").toObject();
    ASSERT_EQ(phrases.size(), seeded + 2);
    for (const QJsonValue& entry : phrases) {
        const QJsonObject phrase = entry.toObject();
        EXPECT_TRUE(phrase.value("phraseId").isString());
        EXPECT_TRUE(phrase.value("phraseText").isString());
        EXPECT_TRUE(phrase.value("timestamp").isDouble());
    }
    EXPECT_TRUE(answerOf(sendSignedIn(TovrinAPIRequest::DELETERequestWithPath("/v3/me/prefs/phrases/" + first,
                                                                              std::nullopt, std::nullopt)))
                    .isEmpty());
    const QJsonObject left = preferences().value("phrases").toObject();
    ASSERT_EQ(left.size(), seeded + 1);
    QStringList texts;
    for (const QJsonValue& entry : left) texts << entry.toObject().value("phraseText").toString();
    EXPECT_TRUE(texts.contains("On my way"));
    EXPECT_FALSE(texts.contains("See you there"));
    EXPECT_EQ(errorCodeOf(save("")), TovrinServiceErrorGeneric);
}

TEST_F(PreferenceEndpointsTest, BlocksHideMembersBothWaysUntilEveryoneIsUnblocked) {
    signInAsDemoMember();
    EXPECT_TRUE(answerOf(block("100010")).isEmpty());
    answerOf(block("100011"));
    EXPECT_EQ(errorCodeOf(block("100012")), TovrinServiceErrorBlocksLimitReached);
    EXPECT_EQ(errorCodeOf(block("999999")), TovrinServiceErrorGeneric);
    auto profileCount = [&](const QString& profileID) {
        return answerOf(sendSignedIn(
                            TovrinAPIRequest::GETRequestWithPath("/v3/profiles/" + profileID, std::nullopt)))
            .value("profiles")
            .toArray()
            .size();
    };
    EXPECT_EQ(profileCount("100010"), 0);

    // The blocked member no longer sees the blocker either.
    signIn("member100010@tovrin.test");
    EXPECT_EQ(profileCount("100001"), 0);

    signInAsDemoMember();
    EXPECT_TRUE(answerOf(sendSignedIn(TovrinAPIRequest::DELETERequestWithPath("/v3/me/blocks", std::nullopt,
                                                                              std::nullopt)))
                    .isEmpty());
    EXPECT_EQ(profileCount("100010"), 1);
    answerOf(block("100012"));
}

}  // namespace
}  // namespace tovrin
