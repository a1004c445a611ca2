#include "sandbox/world/WorldSeed.h"

#include <gtest/gtest.h>

#include "sandbox/media/MediaStore.h"
#include "sandbox/world/Geohash.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {
namespace {

struct Seeded {
    explicit Seeded(quint64 seed) {
        SandboxOptions options;
        options.seed = seed;
        options.memberCount = 50;
        WorldSeed::populate(world, media, options);
    }

    QStringList describe() const {
        QStringList lines;
        for (const auto& [id, member] : world.members()) {
            lines << QStringLiteral("%1 %2 %3 %4,%5 %6")
                         .arg(id, member.displayName, member.email)
                         .arg(member.position.latitude, 0, 'f', 6)
                         .arg(member.position.longitude, 0, 'f', 6)
                         .arg(member.mediaHash);
        }
        return lines;
    }

    World world;
    MediaStore media;
};

TEST(WorldSeedTest, TheSameSeedGivesTheSameWorldAndAnotherSeedAnother) {
    EXPECT_EQ(Seeded(1).describe(), Seeded(1).describe());
    EXPECT_NE(Seeded(1).describe(), Seeded(2).describe());
}

TEST(WorldSeedTest, TheWorldHasItsDemoMemberAnsweringMembersAndAdultsAroundTheDefaultPosition) {
    const Seeded seeded(1);
    const SandboxOptions options;
    const auto& members = seeded.world.members();
    ASSERT_EQ(members.size(), 50u);
    const Member& demo = members.begin()->second;
    EXPECT_EQ(demo.email, WorldSeed::demoEmail);
    EXPECT_EQ(demo.password, WorldSeed::memberPassword);
    EXPECT_EQ(demo.position, options.defaultPosition);
    int answering = 0;
    QSet<QString> photos;
    for (const auto& [id, member] : members) {
        answering += member.isAnswering ? 1 : 0;
        EXPECT_GE(member.age(Date::now()), 18) << id.toStdString();
        EXPECT_LE(Geohash::distance(options.defaultPosition, member.position), 15001) << id.toStdString();
        EXPECT_FALSE(member.xmppToken.isEmpty());
        if (!member.mediaHash.isEmpty()) {
            EXPECT_TRUE(seeded.media.contains(member.mediaHash));
            photos.insert(member.mediaHash);
        }
        if (!member.isAnswering && id != demo.profileID) {
            EXPECT_EQ(member.email, WorldSeed::emailForProfileID(id));
        }
    }
    EXPECT_EQ(answering, options.answeringMemberCount);
    EXPECT_GT(photos.size(), 40);
}

// A member's first sign-in brings a few saved phrases and chat photos the media store can serve.
TEST(WorldSeedTest, EveryMemberHasAFewDistinctSavedPhrasesAndChatPhotos) {
    const Seeded seeded(1);
    for (const auto& [id, member] : seeded.world.members()) {
        SCOPED_TRACE(id.toStdString());
        QSet<QString> texts;
        QSet<QString> ids;
        for (const SavedPhrase& phrase : member.phrases) {
            texts.insert(phrase.text);
            ids.insert(phrase.phraseID);
            EXPECT_FALSE(phrase.text.isEmpty());
        }
        EXPECT_GE(member.phrases.size(), 2);
        EXPECT_LE(member.phrases.size(), 4);
        EXPECT_EQ(texts.size(), member.phrases.size());
        EXPECT_EQ(ids.size(), member.phrases.size());
        EXPECT_GE(member.chatPhotos.size(), 2);
        EXPECT_LE(member.chatPhotos.size(), 3);
        for (const QString& hash : member.chatPhotos) EXPECT_TRUE(seeded.media.contains(hash));
    }
    const Seeded again(1);
    const Member& demo = seeded.world.members().begin()->second;
    const Member& demoAgain = again.world.members().begin()->second;
    EXPECT_EQ(demo.chatPhotos, demoAgain.chatPhotos);
    EXPECT_EQ(demo.phrases.first().text, demoAgain.phrases.first().text);
}

}  // namespace
}  // namespace tovrin::sandbox
