#include "Profile/ProfileAttributesFormatter.h"

#include <gtest/gtest.h>

#include "Units/ImperialUnitConverter.h"
#include "Units/MetricUnitConverter.h"

namespace tovrin {
namespace {

using Fields = std::vector<ManagedField>;

// A real converter that also keeps what it was asked to format.
template <class Converter>
class RecordingConverter : public Converter {
public:
    QString heightStringFromCentimeters(double centimeters) const override {
        heights.push_back(centimeters);
        return Converter::heightStringFromCentimeters(centimeters);
    }
    QString weightStringFromGrams(double grams) const override {
        weights.push_back(grams);
        return Converter::weightStringFromGrams(grams);
    }
    mutable std::vector<double> heights;
    mutable std::vector<double> weights;
};

struct Attributes {
    std::optional<QString> aboutMe;
    std::optional<double> height;
    std::optional<double> weight;
    std::optional<ManagedField> bodyType;
    std::optional<Fields> tribes;
    std::optional<Fields> lookingFor;
    std::optional<ManagedField> ethnicity;
    std::optional<ManagedField> relationshipStatus;

    std::shared_ptr<const ExtendedProfileAttributes> make() const {
        return std::make_shared<ExtendedProfileAttributes>(aboutMe, true, false, height, weight, bodyType,
                                                           ethnicity, relationshipStatus, lookingFor, tribes,
                                                           std::vector<SocialNetwork>{});
    }
};

TEST(ProfileAttributesFormatter, HeightAndWeightInTheMembersUnitsAndTheDefaultWhenMissing) {
    auto metric = std::make_shared<RecordingConverter<MetricUnitConverter>>();
    auto imperial = std::make_shared<RecordingConverter<ImperialUnitConverter>>();
    struct Case {
        const char* name;
        std::shared_ptr<UnitConverter> converter;
        std::optional<double> height;
        std::optional<double> weight;
        std::optional<QString> defaultValue;
        std::optional<QString> heightText;
        std::optional<QString> weightText;
    };
    const Case cases[] = {
        {"metric", metric, 180, 75000, std::nullopt, "180 cm", "75 kg"},
        {"imperial", imperial, 180, 75000, std::nullopt, "5'11\"", "165 lbs"},
        {"metric, missing, no default", metric, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
         std::nullopt},
        {"imperial, missing, a default", imperial, std::nullopt, std::nullopt, "—", "—", "—"},
        {"a default, values present", metric, 180.4, 75499, "—", "180 cm", "75 kg"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const ProfileAttributesFormatter formatter(
            Attributes{.height = testCase.height, .weight = testCase.weight}.make(), nullptr,
            testCase.defaultValue, testCase.converter);
        EXPECT_EQ(formatter.height(), testCase.heightText);
        EXPECT_EQ(formatter.weight(), testCase.weightText);
    }
    // Only present values reach a converter, each through single precision.
    EXPECT_EQ(metric->heights, (std::vector<double>{180.0, double(180.4f)}));
    EXPECT_EQ(metric->weights, (std::vector<double>{75000.0, 75499.0}));
    EXPECT_EQ(imperial->heights, (std::vector<double>{180.0}));
    EXPECT_EQ(imperial->weights, (std::vector<double>{75000.0}));
}

TEST(ProfileAttributesFormatter, AboutMeIsTrimmedAndNeverTheDefault) {
    struct Case {
        std::optional<QString> aboutMe;
        std::optional<QString> text;
    };
    const Case cases[] = {
        {"  word\n", "word"},
        {"\t two words \r\n", "two words"},
        {"first line\n\nlast line", "first line\n\nlast line"},
        {"  \n \n", std::nullopt},
        {"", std::nullopt},
        {std::nullopt, std::nullopt},
    };
    for (const Case& testCase : cases) {
        for (const std::optional<QString>& defaultValue :
             {std::optional<QString>(), std::optional<QString>("—")}) {
            const ProfileAttributesFormatter formatter(Attributes{.aboutMe = testCase.aboutMe}.make(),
                                                       nullptr, defaultValue,
                                                       std::make_shared<MetricUnitConverter>());
            EXPECT_EQ(formatter.aboutMe(), testCase.text)
                << testCase.aboutMe.value_or("(none)").toStdString();
        }
    }
}

TEST(ProfileAttributesFormatter, OptionsGiveTheirTextsJoinedOrTheDefault) {
    struct Case {
        const char* name;
        Attributes attributes;
        std::optional<QString> defaultValue;
        std::optional<QString> bodyType;
        std::optional<QString> tribes;
    };
    const Case cases[] = {
        {"texts in order",
         {.bodyType = ManagedField(4, "Muscular"), .tribes = Fields{{3, "Daddy"}, {8, "Otter"}}},
         std::nullopt,
         "Muscular",
         "Daddy, Otter"},
        {"none, no default", {}, std::nullopt, std::nullopt, std::nullopt},
        {"none, a default", {}, "—", "—", "—"},
        {"empty list, a default", {.tribes = Fields{}}, "—", "—", "—"},
        {"one empty text", {.bodyType = ManagedField(4, ""), .tribes = Fields{{3, ""}}}, "—", "", "—"},
        {"option without text",
         {.bodyType = ManagedField(4, std::nullopt), .tribes = Fields{{3, std::nullopt}}},
         "—",
         "—",
         "—"},
        {"two empty texts", {.tribes = Fields{{3, ""}, {8, ""}}}, "—", "—", ", "},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const ProfileAttributesFormatter formatter(testCase.attributes.make(), nullptr, testCase.defaultValue,
                                                   std::make_shared<MetricUnitConverter>());
        EXPECT_EQ(formatter.bodyType(), testCase.bodyType);
        EXPECT_EQ(formatter.tribes(), testCase.tribes);
    }
}

TEST(ProfileAttributesFormatter, EveryTextFollowsTheCurrentAttributes) {
    ProfileAttributesFormatter formatter(Attributes{}.make(), nullptr, std::nullopt,
                                         std::make_shared<MetricUnitConverter>());
    EXPECT_EQ(formatter.ethnicity(), std::nullopt);

    formatter.setProfileAttributes(Attributes{.lookingFor = Fields{{2, "Chat"}, {5, "Networking"}},
                                              .ethnicity = ManagedField(7, "White"),
                                              .relationshipStatus = ManagedField(1, "Single")}
                                       .make());

    EXPECT_EQ(formatter.ethnicity(), "White");
    EXPECT_EQ(formatter.relationshipStatus(), "Single");
    EXPECT_EQ(formatter.lookingFor(), "Chat, Networking");
}

}  // namespace
}  // namespace tovrin
