#include "sandbox/world/WorldSeed.h"

#include <QRandomGenerator>
#include <QtMath>
#include <algorithm>

#include "sandbox/media/MediaStore.h"
#include "sandbox/media/PhotoPainter.h"
#include "sandbox/world/ManagedFields.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

const char* const names[] = {
    "Alex",  "Sam",   "Jordan", "Robin",   "Kai",    "Noah",   "Luca",  "Mateo", "Elias",  "Finn",
    "Jonas", "Leon",  "Milan",  "Oskar",   "Theo",   "Emil",   "Hugo",  "Jules", "Nico",   "Rafael",
    "Sami",  "Tariq", "Yusuf",  "Omar",    "Kenji",  "Hiro",   "Minh",  "Arjun", "Dev",    "Ravi",
    "Diego", "Pablo", "Andrés", "Tomás",   "Marco",  "Enzo",   "Lars",  "Sven",  "Mikael", "Piotr",
    "Pavel", "Ivan",  "Dmitri", "Kofi",    "Kwame",  "Tunde",  "Malik", "Jamal", "Darius", "Cyrus",
    "Ezra",  "Levi",  "Asher",  "Gabriel", "Adrian", "Julian", "Felix", "Quinn", "Casey",  "River",
};

const char* const aboutTexts[] = {
    "New in town, happy to meet people.",
    "Coffee first, then everything else.",
    "Runner, cook, terrible at karaoke.",
    "Weekend hikes and long dinners.",
    "Ask me about my plants.",
    "Looking for good conversation and better playlists.",
    "Cyclist. Bookworm. Night owl.",
    "I make a decent risotto.",
    "",
    "",
};

const char* const phraseTexts[] = {
    "On my way!",         "Running a bit late, sorry.",
    "Sounds good to me.", "Where are you right now?",
    "See you soon.",      "Coffee later?",
    "Haha, love it.",     "Let me check and get back to you.",
    "Good morning!",      "Have a great evening.",
};

// Metres per degree of latitude.
constexpr double metresPerDegree = 111320;

class SeedRandom {
public:
    explicit SeedRandom(quint64 seed) : random_(seed) {}

    bool chance(double probability) { return random_.generateDouble() < probability; }
    int between(int lowest, int highest) { return lowest + random_.bounded(highest - lowest + 1); }
    double between(double lowest, double highest) {
        return lowest + random_.generateDouble() * (highest - lowest);
    }
    template <class T, size_t N>
    T pick(const T (&choices)[N]) {
        return choices[random_.bounded(static_cast<int>(N))];
    }
    std::optional<int> maybeCode(const QString& list, double probability) {
        const auto& options = ManagedFields::options(list);
        if (!chance(probability)) return std::nullopt;
        return options[random_.bounded(static_cast<int>(options.size()))].first;
    }
    QList<int> someCodes(const QString& list, int most) {
        QList<int> codes;
        const auto& options = ManagedFields::options(list);
        for (int count = between(0, most); codes.size() < count;) {
            const int code = options[random_.bounded(static_cast<int>(options.size()))].first;
            if (!codes.contains(code)) codes << code;
        }
        return codes;
    }
    quint64 next() { return random_.generate64(); }

private:
    QRandomGenerator random_;
};

Coordinate positionNear(SeedRandom& random, const Coordinate& centre, double radius) {
    const double distance = radius * std::sqrt(random.between(0.0, 1.0));
    const double bearing = random.between(0.0, 2 * M_PI);
    return {centre.latitude + distance * std::cos(bearing) / metresPerDegree,
            centre.longitude + distance * std::sin(bearing) /
                                   (metresPerDegree * std::cos(qDegreesToRadians(centre.latitude)))};
}

Date birthdayForAge(SeedRandom& random, int age) {
    const QDate today = QDate::currentDate();
    const QDate birthday = today.addYears(-age).addDays(-random.between(1, 360));
    return Date::fromQDateTime(birthday.startOfDay(Qt::UTC));
}

void fillProfile(Member& member, SeedRandom& random) {
    member.aboutMe = QString::fromUtf8(random.pick(aboutTexts));
    member.showAge = random.chance(0.85);
    member.showDistance = random.chance(0.85);
    if (random.chance(0.7)) member.heightInCm = random.between(158, 200);
    if (random.chance(0.6)) member.weightInGrams = random.between(55, 110) * 1000.0;
    member.bodyType = random.maybeCode("bodyType", 0.7);
    member.ethnicity = random.maybeCode("ethnicity", 0.7);
    member.relationshipStatus = random.maybeCode("relationshipStatus", 0.6);
    member.lookingFor = random.someCodes("lookingFor", 3);
    member.tribes = random.someCodes("tovrinTribes", 2);
    if (random.chance(0.2))
        member.socialNetworks.insert("instagram", member.displayName.toLower() + "_photos");
    if (random.chance(0.15))
        member.socialNetworks.insert("twitter", member.displayName.toLower() + member.profileID);
}

void givePortrait(Member& member, MediaStore& media, quint64 seed) {
    member.mediaHash = media.addDrawnPhoto(QStringLiteral("portrait:%1:%2").arg(seed).arg(member.profileID),
                                           [seed] { return PhotoPainter::portrait(seed); });
}

// A few saved phrases and chat photos (drawn when first asked for), so that a member's first
// sign-in brings them. They come from a generator of the member's own, so the rest of the world
// stays as the seed made it before members had them.
void giveChatMaterial(Member& member, MediaStore& media, quint64 seed, Date now) {
    SeedRandom random(seed);
    const int phraseCount = random.between(2, 4);
    for (int index = 0; member.phrases.size() < phraseCount; ++index) {
        const QString text = QString::fromUtf8(random.pick(phraseTexts));
        if (std::any_of(member.phrases.begin(), member.phrases.end(),
                        [&](const SavedPhrase& phrase) { return phrase.text == text; }))
            continue;
        member.phrases.append(
            {QStringLiteral("seed%1p%2").arg(member.profileID).arg(index), text,
             now.addingTimeInterval(-86400.0 * (phraseCount - index)).millisecondsSince1970()});
    }
    const int photoCount = random.between(2, 3);
    for (int index = 0; index < photoCount; ++index) {
        const quint64 photoSeed = random.next();
        member.chatPhotos << media.addDrawnPhoto(
            QStringLiteral("snapshot:%1:%2").arg(photoSeed).arg(member.profileID),
            [photoSeed] { return PhotoPainter::snapshot(photoSeed); });
    }
}

}  // namespace

QString WorldSeed::emailForProfileID(const QString& profileID) {
    return QStringLiteral("member%1@tovrin.test").arg(profileID);
}

void WorldSeed::populate(World& world, MediaStore& media, const SandboxOptions& options) {
    SeedRandom random(options.seed);
    const Date now = Date::now();
    for (int index = 0; index < options.memberCount; ++index) {
        Member member;
        member.profileID = world.nextProfileID();
        member.displayName = QString::fromUtf8(random.pick(names));
        member.birthday = birthdayForAge(random, random.between(18, 62));
        fillProfile(member, random);
        const bool isDemo = index == 0;
        member.isAnswering = index >= 1 && index <= options.answeringMemberCount;
        member.email = isDemo ? demoEmail : emailForProfileID(member.profileID);
        member.password = member.isAnswering ? World::randomToken() : memberPassword;
        member.xmppToken = World::randomToken();
        member.position =
            isDemo ? options.defaultPosition
                   : positionNear(random, options.defaultPosition, member.isAnswering ? 500 : 15000);
        const bool online = member.isAnswering || isDemo || random.chance(0.25);
        member.lastSeen =
            now.addingTimeInterval(online ? -random.between(0, 300) : -random.between(900, 14 * 86400));
        const quint64 photoSeed = random.next();
        if (isDemo || member.isAnswering || random.chance(0.9)) givePortrait(member, media, photoSeed);
        giveChatMaterial(member, media, options.seed ^ (photoSeed * 0x9E3779B97F4A7C15ull), now);
        world.addMember(std::move(member));
    }
}

}  // namespace tovrin::sandbox
