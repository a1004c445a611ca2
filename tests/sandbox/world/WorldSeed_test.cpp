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

}  // namespace
}  // namespace tovrin::sandbox
