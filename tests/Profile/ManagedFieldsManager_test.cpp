#include "Profile/ManagedFieldsManager.h"

#include <gtest/gtest.h>

#include "Authentication/UserSession.h"
#include "Profile/ProfileService.h"
#include "Profile/ProfileTestSupport.h"
#include "Profile/SelectableOptions.h"
#include "platform/foundation/JSON.h"

namespace tovrin {
namespace {

using Fields = std::vector<ManagedField>;

// The built-in lists, as every run has them before the service's arrive.
std::shared_ptr<ManagedFieldsManager> builtInManager() {
    auto manager = std::make_shared<ManagedFieldsManager>(nullptr);
    manager->setupManagedFieldsDictionary();
    return manager;
}

TEST(ManagedFieldsManager, HasNoListsUntilSetUpThenTheBuiltInOnes) {
    auto manager = std::make_shared<ManagedFieldsManager>(nullptr);
    EXPECT_FALSE(manager->managedFieldsDictionary());
    EXPECT_FALSE(manager->allBodyTypes());
    EXPECT_EQ(manager->bodyTypeForCode(4), ManagedField(4, "Other"));

    manager->setupManagedFieldsDictionary();

    EXPECT_EQ(manager->managedFieldsDictionary(), ManagedFieldsManager::builtInManagedFieldsDictionary());
    EXPECT_EQ(manager->allLookingFors(), (Fields{{2, "Chat"},
                                                 {3, "Dates"},
                                                 {4, "Friends"},
                                                 {5, "Networking"},
                                                 {6, "Relationship"},
                                                 {7, "Right Now"}}));
    EXPECT_EQ(manager->allReportReasons(), (Fields{{1, "Offensive profile image"},
                                                   {2, "Offensive profile text"},
                                                   {4, "Abusive User"},
                                                   {5, "Solicitation/Spam"},
                                                   {7, "Under Age"},
                                                   {10, "Impersonation"}}));
    EXPECT_EQ(manager->allFieldsForKey(kManagedFieldsSocialNetworkKey),
              (Fields{{1, "Facebook"}, {2, "Twitter"}, {3, "Instagram"}}));
    EXPECT_EQ(manager->allTribes()->size(), 12u);
    EXPECT_EQ(manager->allEthnicities()->size(), 9u);
    EXPECT_EQ(manager->allRelationshipStatuses()->back(), ManagedField(8, "Open Relationship"));
    EXPECT_FALSE(manager->allFieldsForKey("hairColour"));
}

TEST(ManagedFieldsManager, OneCodeGivesItsOptionOtherWhenTheListLacksItAndNothingForNoCode) {
    const auto manager = builtInManager();
    struct Case {
        QString key;
        std::optional<qint32> code;
        std::optional<ManagedField> field;
    };
    const Case cases[] = {
        {kManagedFieldsBodyTypeKey, 4, ManagedField(4, "Muscular")},
        {kManagedFieldsBodyTypeKey, 99, ManagedField(99, "Other")},
        {kManagedFieldsBodyTypeKey, std::nullopt, std::nullopt},
        {kManagedFieldsEthnicitiesKey, 8, ManagedField(8, "Other")},
        {kManagedFieldsRelationshipStatusKey, 3, ManagedField(3, "Exclusive")},
        {kManagedFieldsReportReasonsKey, 3, ManagedField(3, "Other")},
        {kManagedFieldsSocialNetworkKey, 2, ManagedField(2, "Twitter")},
        {"hairColour", 1, ManagedField(1, "Other")},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.key.toStdString() + " " + std::to_string(testCase.code.value_or(-1)));
        EXPECT_EQ(manager->fieldForKey(testCase.key, testCase.code), testCase.field);
    }
    EXPECT_EQ(manager->bodyTypeForCode(4), ManagedField(4, "Muscular"));
    EXPECT_EQ(manager->ethnicityNameForCode(7), ManagedField(7, "White"));
    EXPECT_EQ(manager->relationshipStatusNameForCode(std::nullopt), std::nullopt);
    EXPECT_EQ(manager->reportReasonNameForCode(10), ManagedField(10, "Impersonation"));
}

TEST(ManagedFieldsManager, ACodeArrayGivesOneOptionPerCodeInOrder) {
    const auto manager = builtInManager();
    struct Case {
        std::optional<std::vector<qint32>> codes;
        std::optional<Fields> fields;
    };
    const Case cases[] = {
        {std::vector<qint32>{2, 5}, Fields{{2, "Chat"}, {5, "Networking"}}},
        {std::vector<qint32>{1}, Fields{{1, "Other"}}},
        {std::vector<qint32>{7, 2, 7}, Fields{{7, "Right Now"}, {2, "Chat"}, {7, "Right Now"}}},
        {std::vector<qint32>{}, Fields{}},
        {std::nullopt, std::nullopt},
    };
    for (const Case& testCase : cases)
        EXPECT_EQ(manager->lookingForNamesForCodes(testCase.codes), testCase.fields);
    EXPECT_EQ(manager->tribeNamesForCodes(std::vector<qint32>{8, 3}), (Fields{{8, "Otter"}, {3, "Daddy"}}));
}

TEST(ManagedFieldsManager, ListsReplacedWholeAreReadAsTheyAre) {
    auto manager = builtInManager();
    const Fields handedOut = *manager->allBodyTypes();

    manager->setManagedFieldsDictionary(ManagedFieldsDictionary{
        {kManagedFieldsLookingForKey, Fields{{3, "First"}, {3, "Second"}}},
    });

    // A duplicate code gives the first; a list the new table lacks is absent and reads "Other".
    EXPECT_EQ(manager->lookingForNamesForCodes(std::vector<qint32>{3}), (Fields{{3, "First"}}));
    EXPECT_FALSE(manager->allBodyTypes());
    EXPECT_EQ(manager->bodyTypeForCode(1), ManagedField(1, "Other"));
    EXPECT_EQ(handedOut.front(), ManagedField(1, "Toned"));
}

TEST(ManagedFieldsService, ReadsTheListsTheAnswerNamesAndRefusesAnAnswerWithoutThem) {
    struct Case {
        const char* answer;
        std::optional<ManagedFieldsDictionary> lists;
    };
    const Case cases[] = {
        {R"({"fields": {"bodyType": [{"fieldId": 2, "name": "Lean"}, {"fieldId": 1, "name": "Big"}],
                        "hairColour": [{"fieldId": 1, "name": "Red"}]}})",
         ManagedFieldsDictionary{{"bodyType", {{2, "Lean"}, {1, "Big"}}}, {"hairColour", {{1, "Red"}}}}},
        {R"({"fields": {}})", ManagedFieldsDictionary{}},
        // Entries of other shapes: skipped, code 0, no text; a list that is no array is absent.
        {R"({"fields": {"ethnicity": [7, null, "x", {"name": "A"}, {"fieldId": null, "name": "B"},
                                      {"fieldId": "3", "name": "C"}, {"fieldId": 4}, {"fieldId": 5, "name": 6},
                                      {"fieldId": 6.9, "name": "D"}, {"fieldId": 1e12, "name": "E"}],
                        "tovrinTribes": {"fieldId": 1, "name": "Bear"}, "bodyType": null}})",
         ManagedFieldsDictionary{
             {"ethnicity",
              {{0, "A"}, {0, "B"}, {0, "C"}, {4, std::nullopt}, {5, std::nullopt}, {6, "D"}, {0, "E"}}}}},
        {R"({})", std::nullopt},
        {R"({"fields": null})", std::nullopt},
        {R"({"fields": [{"bodyType": []}]})", std::nullopt},
        {R"({"fields": "bodyType"})", std::nullopt},
        {R"([])", std::nullopt},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.answer);
        const auto answer = JSON::parse(QByteArray(testCase.answer));
        ASSERT_TRUE(answer);
        EXPECT_EQ(ManagedFieldsService::managedFieldsDictionaryWithJSON(*answer), testCase.lists);
    }
}

// Codes are named through the shared session's lists; before there is a session nothing names them,
// and the rest of the profile is still read.
TEST(ProfileService, WithoutASessionCodesReadAsNoOption) {
    ASSERT_EQ(UserSession::sharedSession(), nullptr);
    const auto profile = JSON::parse(R"({"bodyType": 4, "lookingFor": [2], "aboutMe": "Hi",
                                         "socialNetworks": {"twitter": {"userId": "a"}}})");

    const auto attributes = ProfileService::extendedProfileAttributesWithJSONDictionary(profile->toObject());

    EXPECT_EQ(attributes->bodyType(), std::nullopt);
    EXPECT_EQ(attributes->lookingFor(), std::nullopt);
    EXPECT_EQ(attributes->aboutMe(), "Hi");
    EXPECT_EQ(attributes->socialNetworks(), (std::vector<SocialNetwork>{{"a", SocialNetworkTypeTwitter}}));
}

TEST(SelectableOptions, SelectsInTheListsOrderAndTogglesAnyText) {
    const QStringList all{"A", "B", "C"};
    struct Case {
        const char* name;
        QStringList initial;
        QStringList toggled;
        QStringList selection;
        QStringList selected;
    };
    const Case cases[] = {
        {"initial selection", {"C", "A"}, {}, {"C", "A"}, {"A", "C"}},
        {"a selected option toggled off", {"C", "A"}, {"A"}, {"C"}, {"C"}},
        {"an option toggled on", {"C"}, {"B"}, {"C", "B"}, {"B", "C"}},
        {"an option outside the list", {"C", "A"}, {"D"}, {"C", "A", "D"}, {"A", "C"}},
        {"toggled twice", {}, {"B", "B"}, {}, {}},
        {"every copy removed", {"A", "B", "A"}, {"A"}, {"B"}, {"B"}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SelectableOptions options(all, testCase.initial);
        for (const QString& option : testCase.toggled) options.toggleOption(option);
        EXPECT_EQ(options.mutableSelectedOptions(), testCase.selection);
        EXPECT_EQ(options.selectedOptions(), testCase.selected);
        for (const QString& option : testCase.selection) EXPECT_TRUE(options.isOptionSelected(option));
    }
    SelectableOptions twice({"A", "B", "A"}, {"A"});
    EXPECT_EQ(twice.selectedOptions(), QStringList({"A", "A"}));
    EXPECT_FALSE(twice.isOptionSelected("B"));
}

}  // namespace
}  // namespace tovrin
