// The client's chat photo uploads, saved phrases and server-side preferences against the sandbox,
// through the application's container and the real signed-in session.

#include <QJsonArray>
#include <QSet>

#include "Chat/SavedPhrasesManager.h"
#include "Chat/UploadImageService.h"
#include "Chat/UserImageHashManager.h"
#include "Preferences/PreferencesManager.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/media/MediaStore.h"
#include "sandbox/media/PhotoPainter.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/world/World.h"

namespace tovrin {
namespace {

using test::SandboxTest;

class ChatServicesTest : public SandboxTest {
protected:
    sandbox::Member& sandboxMember(const QString& profileID) const {
        return *sandbox->context()->world->member(profileID);
    }

    QJsonObject preferences() {
        return answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/prefs", std::nullopt)));
    }
    QStringList listedPhrases() {
        QStringList texts;
        for (const QJsonValue& entry : preferences().value("phrases").toObject())
            texts << entry.toObject().value("phraseText").toString();
        return texts;
    }
    QStringList listedChatPhotos() {
        QStringList hashes;
        for (const QJsonValue& entry : preferences().value("chatPix").toObject())
            hashes << entry.toObject().value("mediaHash").toString();
        return hashes;
    }

    static QSet<QString> asSet(const QStringList& list) { return QSet<QString>(list.begin(), list.end()); }
};

// A fresh sign-in, the demo member's too, brings the member's seeded phrases and chat photos.
TEST_F(ChatServicesTest, AFreshSignInBringsTheMembersPhrasesAndChatPhotos) {
    for (const QString& email :
         {sandbox::WorldSeed::demoEmail, sandbox::WorldSeed::emailForProfileID("100020")}) {
        SCOPED_TRACE(email.toStdString());
        const test::SignedInMember member = signIn(email);
        const sandbox::Member& seeded = sandboxMember(member.profileID);
        QStringList seededPhrases;
        for (const sandbox::SavedPhrase& phrase : seeded.phrases) seededPhrases << phrase.text;
        ASSERT_FALSE(seededPhrases.isEmpty());
        ASSERT_FALSE(seeded.chatPhotos.isEmpty());

        world->injector.get<PreferencesManager>()->retrievePreferences();

        const auto session = world->session();
        ASSERT_TRUE(test::runUntil(
            [&] {
                return session->savedPhrasesManager()->savedPhrases().size() == seededPhrases.size() &&
                       session->userImageHashManager()->imageHashes().size() == seeded.chatPhotos.size();
            },
            test::sandboxPatience));
        EXPECT_EQ(asSet(session->savedPhrasesManager()->savedPhrases()), asSet(seededPhrases));
        EXPECT_EQ(asSet(session->userImageHashManager()->imageHashes()), asSet(seeded.chatPhotos));
        for (const sandbox::SavedPhrase& phrase : seeded.phrases)
            EXPECT_EQ(session->savedPhrasesManager()->savedPhraseForText(phrase.text)->phraseID(),
                      phrase.phraseID);
    }
}

TEST_F(ChatServicesTest, AnUploadedChatPhotoIsListedAmongTheMembersChatPhotos) {
    const test::SignedInMember demo = signInAsDemoMember();
    const auto uploaded =
        world->injector.get<UploadImageService>()->uploadChatImage(sandbox::PhotoPainter::snapshot(11));
    ASSERT_TRUE(test::waitFor(uploaded, test::sandboxPatience));
    ASSERT_TRUE(uploaded.isFulfilled()) << uploaded.error()->code();
    const QString hash = *uploaded.value();

    // The registration is not awaited by the upload.
    ASSERT_TRUE(test::runUntil([&] { return sandboxMember(demo.profileID).chatPhotos.contains(hash); },
                               test::sandboxPatience));
    EXPECT_TRUE(listedChatPhotos().contains(hash));
    EXPECT_TRUE(sandbox->context()->media->contains(hash));
}

TEST_F(ChatServicesTest, PhrasesCreatedAndDeletedThroughTheManagerShowSoInThePreferences) {
    const test::SignedInMember demo = signInAsDemoMember();
    const auto manager = world->session()->savedPhrasesManager();
    world->injector.get<PreferencesManager>()->retrievePreferences();
    ASSERT_TRUE(test::runUntil([&] { return !manager->savedPhrases().isEmpty(); }, test::sandboxPatience));
    const QString seededText = manager->savedPhrases().first();

    ASSERT_TRUE(manager->addSavedPhrase("Meet at the station?"));
    ASSERT_TRUE(
        test::runUntil([&] { return manager->savedPhraseForText("Meet at the station?").has_value(); },
                       test::sandboxPatience));
    EXPECT_TRUE(listedPhrases().contains("Meet at the station?"));

    manager->deleteSavedPhrases({"Meet at the station?", seededText});
    ASSERT_TRUE(test::runUntil(
        [&] {
            const auto& phrases = sandboxMember(demo.profileID).phrases;
            return std::none_of(phrases.begin(), phrases.end(), [&](const sandbox::SavedPhrase& phrase) {
                return phrase.text == "Meet at the station?" || phrase.text == seededText;
            });
        },
        test::sandboxPatience));
    const QStringList listed = listedPhrases();
    EXPECT_FALSE(listed.contains("Meet at the station?"));
    EXPECT_FALSE(listed.contains(seededText));
    EXPECT_EQ(asSet(listed), asSet(manager->savedPhrases()));
}

}  // namespace
}  // namespace tovrin
