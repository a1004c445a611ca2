#pragma once

#include <QString>

#include "sandbox/SandboxOptions.h"

namespace tovrin::sandbox {

class MediaStore;
class World;

// Fills a world from the options' seed number: the same seed always gives the same members,
// profiles, photos and positions (last-seen times count back from now). The first member is the
// demo member, the next few answer chats; every seeded member but those signs in with the
// password `memberPassword`.
class WorldSeed {
public:
    static inline const QString demoEmail = QStringLiteral("demo@tovrin.test");
    static inline const QString memberPassword = QStringLiteral("sandbox");

    static void populate(World& world, MediaStore& media, const SandboxOptions& options);
    // The e-mail address of a seeded member other than the demo member.
    static QString emailForProfileID(const QString& profileID);
};

}  // namespace tovrin::sandbox
