#include <gtest/gtest.h>

#include <QSet>
#include <unordered_set>

#include "Profile/ManagedField.h"
#include "Profile/ProfileTestSupport.h"
#include "Profile/SocialNetwork.h"

namespace tovrin {
namespace {

TEST(ManagedField, EqualExactlyWhenCodeAndTextAreEqualAndEqualFieldsHashEqual) {
    struct Case {
        const char* name;
        ManagedField a;
        ManagedField b;
        bool equal;
    };
    const Case cases[] = {
        {"same code and text", {3, "Daddy"}, {3, "Daddy"}, true},
        {"same code, other text", {8, "Other"}, {8, "White"}, false},
        {"other code, same text", {3, "Daddy"}, {4, "Daddy"}, false},
        {"text differs in letter case", {3, "Daddy"}, {3, "daddy"}, false},
        {"both without text", {5, std::nullopt}, {5, std::nullopt}, true},
        {"one without text", {5, std::nullopt}, {5, ""}, false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(testCase.a == testCase.b, testCase.equal);
        EXPECT_EQ(testCase.b == testCase.a, testCase.equal);
        if (testCase.equal) {
            EXPECT_EQ(testCase.a.hash(), testCase.b.hash());
            EXPECT_EQ(qHash(testCase.a), qHash(testCase.b));
            EXPECT_EQ(std::hash<ManagedField>()(testCase.a), std::hash<ManagedField>()(testCase.b));
        }
    }
}

// The profile editor finds the chosen options again by equality: one without text included.
TEST(ManagedField, SetsFindEveryFieldAgainAndKeepOneOfEqualFields) {
    const ManagedField withoutText(7, std::nullopt);
    const QList<ManagedField> fields{{3, "Daddy"}, {3, "Daddy"}, {8, "Other"}, {8, "White"}, withoutText};

    const QSet<ManagedField> qtSet(fields.begin(), fields.end());
    const std::unordered_set<ManagedField> standardSet(fields.begin(), fields.end());

    EXPECT_EQ(qtSet.size(), 4);
    EXPECT_EQ(standardSet.size(), 4u);
    EXPECT_EQ(withoutText, withoutText);
    EXPECT_TRUE(qtSet.contains(withoutText));
    EXPECT_TRUE(standardSet.contains(ManagedField(7, std::nullopt)));
    EXPECT_FALSE(qtSet.contains(ManagedField(3, "Bear")));
}

TEST(ManagedField, DescriptionNamesTheAddressTheCodeAndTheText) {
    const ManagedField field(3, "Daddy");
    const ManagedField withoutText(0, std::nullopt);

    EXPECT_EQ(field.description(), QStringLiteral("<<ManagedField: 0x%1> code: 3, localizedString: Daddy>")
                                       .arg(quintptr(&field), 0, 16));
    EXPECT_TRUE(withoutText.description().endsWith("> code: 0, localizedString: (null)>"));
}

TEST(SocialNetwork, EqualExactlyWhenUserIDAndTypeAreEqualAndEqualHandlesHashEqual) {
    struct Case {
        const char* name;
        SocialNetwork a;
        SocialNetwork b;
        bool equal;
    };
    const Case cases[] = {
        {"same id and type", {"ann", SocialNetworkTypeTwitter}, {"ann", SocialNetworkTypeTwitter}, true},
        {"ids differ in letter case",
         {"ann", SocialNetworkTypeTwitter},
         {"Ann", SocialNetworkTypeTwitter},
         false},
        {"types differ", {"ann", SocialNetworkTypeTwitter}, {"ann", SocialNetworkTypeFacebook}, false},
        {"both without id",
         {std::nullopt, SocialNetworkTypeFacebook},
         {std::nullopt, SocialNetworkTypeFacebook},
         true},
        {"one without id", {std::nullopt, SocialNetworkTypeFacebook}, {"", SocialNetworkTypeFacebook}, false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(testCase.a == testCase.b, testCase.equal);
        EXPECT_EQ(testCase.a.isEqualToSocialNetwork(testCase.b), testCase.equal);
        if (testCase.equal) {
            EXPECT_EQ(qHash(testCase.a), qHash(testCase.b));
            EXPECT_EQ(std::hash<SocialNetwork>()(testCase.a), std::hash<SocialNetwork>()(testCase.b));
        }
    }
}

TEST(SocialNetwork, SettersChangeWhatEqualityCompares) {
    SocialNetwork handle("ann", SocialNetworkTypeTwitter);
    handle.setUserID("bob");
    handle.setType(SocialNetworkTypeInstagram);

    EXPECT_EQ(handle, SocialNetwork("bob", SocialNetworkTypeInstagram));
    const QSet<SocialNetwork> set{handle};
    EXPECT_TRUE(set.contains(SocialNetwork("bob", SocialNetworkTypeInstagram)));
}

TEST(SocialNetworkType, WireNamesAreReadExactlyAndWrittenForEveryType) {
    const std::pair<const char*, SocialNetworkType> reads[] = {
        {"twitter", SocialNetworkTypeTwitter},     {"facebook", SocialNetworkTypeFacebook},
        {"instagram", SocialNetworkTypeInstagram}, {"Twitter", SocialNetworkTypeUnknown},
        {"unknown", SocialNetworkTypeUnknown},     {"", SocialNetworkTypeUnknown},
        {"myspace", SocialNetworkTypeUnknown},
    };
    for (const auto& [name, type] : reads) EXPECT_EQ(socialNetworkTypeForWireName(name), type) << name;

    EXPECT_EQ(wireNameForSocialNetworkType(SocialNetworkTypeUnknown), "unknown");
    EXPECT_EQ(wireNameForSocialNetworkType(SocialNetworkTypeTwitter), "twitter");
    EXPECT_EQ(wireNameForSocialNetworkType(SocialNetworkTypeFacebook), "facebook");
    EXPECT_EQ(wireNameForSocialNetworkType(SocialNetworkTypeInstagram), "instagram");
}

}  // namespace
}  // namespace tovrin
