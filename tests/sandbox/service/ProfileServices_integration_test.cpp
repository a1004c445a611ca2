// The client's profile services and option lists against the sandbox, through the application's
// container and the real shared session.

#include <QJsonArray>
#include <algorithm>

#include "Profile/DeleteProfileService.h"
#include "Profile/ManagedFieldsManager.h"
#include "Profile/ProfileService.h"
#include "Profile/ProfileTestSupport.h"
#include "Profile/ProfileUpdate.h"
#include "Profile/UserReportingService.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/world/ManagedFields.h"
#include "sandbox/world/World.h"

namespace tovrin {
namespace {

using test::SandboxTest;
using Fields = std::vector<ManagedField>;
using Networks = std::vector<SocialNetwork>;

// The option as the sandbox names it.
ManagedField sandboxField(const QString& list, int code) {
    for (const auto& [optionCode, name] : sandbox::ManagedFields::options(list)) {
        if (optionCode == code) return ManagedField(code, name);
    }
    ADD_FAILURE() << "no option " << code << " in " << list.toStdString();
    return ManagedField(code, std::nullopt);
}

std::optional<ManagedField> sandboxField(const QString& list, std::optional<int> code) {
    return code ? std::optional(sandboxField(list, *code)) : std::nullopt;
}

Fields sandboxFields(const QString& list, const QList<int>& codes) {
    Fields fields;
    for (const int code : codes) fields.push_back(sandboxField(list, code));
    return fields;
}

// Everything a member sees of a profile but the photo, the distance and the last-seen time.
void expectSameProfile(const FullProfile& actual, const FullProfile& expected) {
    EXPECT_EQ(actual.nearbyUser()->profileID(), expected.nearbyUser()->profileID());
    EXPECT_EQ(actual.nearbyUser()->displayName(), expected.nearbyUser()->displayName());
    EXPECT_EQ(actual.nearbyUser()->age(), expected.nearbyUser()->age());
    const ExtendedProfileAttributes& a = *actual.extendedProfileAttributes();
    const ExtendedProfileAttributes& e = *expected.extendedProfileAttributes();
    EXPECT_EQ(a.aboutMe(), e.aboutMe());
    EXPECT_EQ(a.showAge(), e.showAge());
    EXPECT_EQ(a.showDistance(), e.showDistance());
    EXPECT_EQ(a.heightInCm(), e.heightInCm());
    EXPECT_EQ(a.weightInGrams(), e.weightInGrams());
    EXPECT_EQ(a.bodyType(), e.bodyType());
    EXPECT_EQ(a.ethnicity(), e.ethnicity());
    EXPECT_EQ(a.relationshipStatus(), e.relationshipStatus());
    EXPECT_EQ(a.lookingFor(), e.lookingFor());
    EXPECT_EQ(a.tribes(), e.tribes());
    EXPECT_EQ(a.socialNetworks(), e.socialNetworks());
}

class ProfileServicesTest : public SandboxTest {
protected:
    template <class T>
    static Promise<T> settled(Promise<T> promise) {
        EXPECT_TRUE(test::waitFor(promise, test::sandboxPatience));
        return promise;
    }

    template <class T>
    static qint64 errorCodeOf(const Promise<T>& promise) {
        return promise.isRejected() ? promise.error()->code() : 0;
    }

    Promise<std::shared_ptr<FullProfile>> fetch(const QString& profileID) {
        return settled(world->injector.get<ProfileService>()->fullProfileForID(profileID));
    }

    std::shared_ptr<FullProfile> profileOf(const QString& profileID) {
        const auto promise = fetch(profileID);
        EXPECT_TRUE(promise.isFulfilled()) << errorCodeOf(promise);
        return promise.isFulfilled() ? *promise.value() : nullptr;
    }

    std::shared_ptr<ManagedFieldsManager> manager() const { return world->session()->managedFieldsManager(); }

    // An option as the client's lists offer it to the profile editor.
    ManagedField offered(const QString& list, qint32 code) const {
        const auto options = manager()->allFieldsForKey(list);
        EXPECT_TRUE(options) << list.toStdString();
        if (options) {
            const auto option = std::find_if(options->begin(), options->end(),
                                             [&](const ManagedField& field) { return field.code() == code; });
            if (option != options->end()) return *option;
        }
        ADD_FAILURE() << "no option " << code << " in " << list.toStdString();
        return ManagedField(code, std::nullopt);
    }

    QJsonArray reportsBy(const QString& profileID) {
        return admin("GET", "/admin/members/" + profileID).second.value("reports").toArray();
    }

    sandbox::World& sandboxWorld() const { return *sandbox->context()->world; }
};

TEST_F(ProfileServicesTest, ASeededMembersProfileComesWithItsOptionsNamed) {
    signInAsDemoMember();
    // A member with something in every list, so every lookup is exercised.
    const sandbox::Member* seeded = nullptr;
    for (const auto& [profileID, member] : sandboxWorld().members()) {
        if (member.email != sandbox::WorldSeed::demoEmail && !member.isBanned && member.bodyType &&
            member.ethnicity && member.relationshipStatus && !member.lookingFor.isEmpty() &&
            !member.tribes.isEmpty() && !member.socialNetworks.isEmpty() && member.heightInCm &&
            member.weightInGrams && !member.aboutMe.isEmpty()) {
            seeded = &member;
            break;
        }
    }
    ASSERT_NE(seeded, nullptr);

    const auto profile = profileOf(seeded->profileID);
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(profile->nearbyUser()->profileID(), seeded->profileID);
    EXPECT_EQ(profile->nearbyUser()->displayName(), seeded->displayName);
    const ExtendedProfileAttributes& attributes = *profile->extendedProfileAttributes();
    EXPECT_EQ(attributes.aboutMe(), seeded->aboutMe);
    EXPECT_EQ(attributes.showAge(), seeded->showAge);
    EXPECT_EQ(attributes.showDistance(), seeded->showDistance);
    EXPECT_EQ(attributes.heightInCm(), seeded->heightInCm);
    EXPECT_EQ(attributes.weightInGrams(), seeded->weightInGrams);
    EXPECT_EQ(attributes.bodyType(), sandboxField("bodyType", seeded->bodyType));
    EXPECT_EQ(attributes.ethnicity(), sandboxField("ethnicity", seeded->ethnicity));
    EXPECT_EQ(attributes.relationshipStatus(),
              sandboxField("relationshipStatus", seeded->relationshipStatus));
    EXPECT_EQ(attributes.lookingFor(), sandboxFields("lookingFor", seeded->lookingFor));
    EXPECT_EQ(attributes.tribes(), sandboxFields("tovrinTribes", seeded->tribes));
    Networks networks;
    for (auto network = seeded->socialNetworks.cbegin(); network != seeded->socialNetworks.cend(); ++network)
        networks.emplace_back(network.value(), socialNetworkTypeForWireName(network.key()));
    std::sort(networks.begin(), networks.end(),
              [](const SocialNetwork& a, const SocialNetwork& b) { return a.type() < b.type(); });
    EXPECT_EQ(attributes.socialNetworks(), networks);

    // No such member: the service's empty list.
    EXPECT_EQ(errorCodeOf(fetch("999999")), TovrinServiceErrorProfileNotFound);
}

TEST_F(ProfileServicesTest, TheOwnProfileReadsBackAsSaved) {
    const test::SignedInMember demo = signInAsDemoMember();
    struct Case {
        const char* name;
        std::function<ProfileUpdate()> update;
    };
    const Case cases[] = {
        {"every attribute set",
         [&] {
             return ProfileUpdate(
                 "Robin", "Cook and cyclist.", 33, false, true, offered(kManagedFieldsEthnicitiesKey, 3),
                 {offered(kManagedFieldsLookingForKey, 5), offered(kManagedFieldsLookingForKey, 2)},
                 offered(kManagedFieldsRelationshipStatusKey, 8),
                 {offered(kManagedFieldsTribesKey, 7), offered(kManagedFieldsTribesKey, 1)},
                 offered(kManagedFieldsBodyTypeKey, 4), 182.5, 78000.0,
                 {SocialNetwork("robin_t", SocialNetworkTypeTwitter),
                  SocialNetwork("Robin.F", SocialNetworkTypeFacebook),
                  SocialNetwork("robin_i", SocialNetworkTypeInstagram)});
         }},
        {"every option cleared",
         [&] {
             return ProfileUpdate("Robin R.", "Back soon.", 41, true, false, std::nullopt, {}, std::nullopt,
                                  {}, std::nullopt, std::nullopt, std::nullopt, {});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = profileOf(demo.profileID);
        ASSERT_NE(before, nullptr);
        const ProfileUpdate update = c.update();
        const auto saved = settled(world->injector.get<ProfileService>()->updateCurrentProfile(update));
        EXPECT_TRUE(saved.isFulfilled()) << errorCodeOf(saved);
        const auto updated = before->updateFullProfileWithProfileUpdate(update);
        const auto after = profileOf(demo.profileID);
        ASSERT_NE(after, nullptr);
        // What the client shows at once after a save is what the service gives back later.
        expectSameProfile(*after, *updated);
        EXPECT_EQ(after->nearbyUser()->mediaHash(), before->nearbyUser()->mediaHash());
        EXPECT_EQ(after->nearbyUser()->displayName(), update.displayName());
        EXPECT_EQ(after->nearbyUser()->age(), update.age());
        EXPECT_EQ(after->extendedProfileAttributes()->bodyType(), update.bodyType());
        EXPECT_EQ(after->extendedProfileAttributes()->tribes(), update.tribes());
        EXPECT_EQ(after->extendedProfileAttributes()->socialNetworks(), update.socialNetworks());
    }
}

TEST_F(ProfileServicesTest, AReportIsRecordedWithItsReasonAndComment) {
    const test::SignedInMember demo = signInAsDemoMember();
    const QString reported = QStringLiteral("100010");
    ASSERT_NE(sandboxWorld().member(reported), nullptr);
    const qint32 reason = offered(kManagedFieldsReportReasonsKey, 4).code();
    const auto reporting = world->injector.get<UserReportingService>();

    struct Case {
        std::optional<QString> comment;
        QString recorded;
    };
    const Case cases[] = {{"Sends links to another site.", "Sends links to another site."},
                          {std::nullopt, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recorded.toStdString());
        const auto sent = settled(reporting->reportUserWithProfileID(reported, reason, c.comment));
        EXPECT_TRUE(sent.isFulfilled()) << errorCodeOf(sent);
        const QJsonArray reports = reportsBy(demo.profileID);
        ASSERT_FALSE(reports.isEmpty());
        EXPECT_EQ(reports.last().toObject(),
                  (QJsonObject{{"profileId", reported}, {"reason", reason}, {"comment", c.recorded}}));
    }

    // An id that would leave its path segment reaches no other endpoint and reports nobody.
    const QJsonObject before = admin("GET", "/admin/members/" + demo.profileID).second;
    for (const QString& id :
         {QStringLiteral("999999"), QStringLiteral("../me/blocks/100011"),
          QStringLiteral("100011/../../me/favorites/100011"), QStringLiteral("100011?x=1")}) {
        SCOPED_TRACE(id.toStdString());
        EXPECT_TRUE(settled(reporting->reportUserWithProfileID(id, reason, std::nullopt)).isRejected());
    }
    const QJsonObject after = admin("GET", "/admin/members/" + demo.profileID).second;
    for (const char* kept : {"reports", "blocks", "favorites"})
        EXPECT_EQ(after.value(QLatin1String(kept)).toVariant(), before.value(QLatin1String(kept)).toVariant())
            << kept;
    EXPECT_NE(profileOf(demo.profileID), nullptr);
}

TEST_F(ProfileServicesTest, ADeletedMemberCanNoLongerSignInNorBeSeen) {
    const QString email = sandbox::WorldSeed::emailForProfileID("100010");
    const test::SignedInMember leaving = signIn(email);
    ASSERT_FALSE(leaving.profileID.isEmpty());
    const auto deleted = settled(world->injector.get<DeleteProfileService>()->deleteProfile());
    EXPECT_TRUE(deleted.isFulfilled()) << errorCodeOf(deleted);

    const auto again = settled(world->signIn(email));
    EXPECT_EQ(errorCodeOf(again), TovrinServiceErrorInvalidCredentials);
    signInAsDemoMember();
    EXPECT_EQ(errorCodeOf(fetch(leaving.profileID)), TovrinServiceErrorProfileNotFound);
}

TEST_F(ProfileServicesTest, TheServicesListsReplaceTheBuiltInOnesAtTheNextLaunch) {
    // Until now the client shows its own name for the code.
    EXPECT_NE(manager()->bodyTypeForCode(4), ManagedField(4, "Athletic"));

    // Other names for known codes, a new code, and no "relationshipStatus" at all.
    const auto options = [](std::initializer_list<std::pair<int, const char*>> entries) {
        QJsonArray list;
        for (const auto& [code, name] : entries) list.append(QJsonObject{{"fieldId", code}, {"name", name}});
        return list;
    };
    const QJsonObject fields{
        {"bodyType", options({{4, "Athletic"}, {1, "Toned"}, {20, "Petite"}})},
        {"ethnicity", options({{7, "Caucasian"}})},
        {"lookingFor", options({{2, "Talk"}, {3, "Dates"}})},
        {"tovrinTribes", options({{3, "Silver Fox"}})},
        {"reportReasons", options({{4, "Harassment"}})},
    };
    ASSERT_EQ(admin("POST", "/admin/managed-fields", QJsonObject{{"fields", fields}}).first, 200);
    sandbox::Member& demo = *sandboxWorld().memberWithEmail(sandbox::WorldSeed::demoEmail);
    demo.bodyType = 20;
    demo.ethnicity = 7;
    demo.relationshipStatus = 2;
    demo.lookingFor = {3, 2};
    demo.tribes = {3};

    // The lists are fetched once per run: a fresh launch of the client.
    world.reset();
    world = std::make_unique<test::SandboxTestWorld>(*sandbox);
    world->launchSignedIn();
    world->settle();

    EXPECT_EQ(manager()->allBodyTypes(),
              (Fields{ManagedField(4, "Athletic"), ManagedField(1, "Toned"), ManagedField(20, "Petite")}));
    EXPECT_EQ(manager()->bodyTypeForCode(4), ManagedField(4, "Athletic"));
    EXPECT_EQ(manager()->reportReasonNameForCode(4), ManagedField(4, "Harassment"));
    EXPECT_EQ(manager()->allRelationshipStatuses(), std::nullopt);

    const auto own = profileOf(demo.profileID);
    ASSERT_NE(own, nullptr);
    const ExtendedProfileAttributes& attributes = *own->extendedProfileAttributes();
    EXPECT_EQ(attributes.bodyType(), ManagedField(20, "Petite"));
    EXPECT_EQ(attributes.ethnicity(), ManagedField(7, "Caucasian"));
    EXPECT_EQ(attributes.relationshipStatus(), ManagedField(2, "Other"));
    EXPECT_EQ(attributes.lookingFor(), (Fields{ManagedField(3, "Dates"), ManagedField(2, "Talk")}));
    EXPECT_EQ(attributes.tribes(), (Fields{ManagedField(3, "Silver Fox")}));
}

}  // namespace
}  // namespace tovrin
