#include <gtest/gtest.h>

#include "Cascade/Filter/CascadeFilterJSONMapper.h"
#include "Cascade/Filter/CascadeFilterManager.h"
#include "Cascade/Filter/FilterJSONMapper.h"
#include "Cascade/Filter/FilterManager.h"
#include "Persistence/TemporaryStore.h"
#include "platform/foundation/JSON.h"

namespace tovrin {
namespace {

using test::await;

QJsonObject object(const char* json) {
    return JSON::parse(json)->toObject();
}

const char* const storedExample =
    R"({"name": "My Type", "photoOnly": {"enabled": true}, "age": {"enabled": true, "min": 25, "max": null},
        "weight": {"enabled": false, "min": null, "max": null}, "height": {"enabled": false, "min": null, "max": null},
        "tovrinTribes": {"enabled": false, "ids": []}, "bodyType": {"enabled": false, "ids": []},
        "ethnicity": {"enabled": false, "ids": []}, "lookingFor": {"enabled": true, "ids": [3, 5]},
        "relationshipStatus": {"enabled": false, "ids": []}})";

Filter exampleFilter() {
    const MinMaxFilterOption open(false, std::nullopt, std::nullopt);
    const OptionsFilterOption none(false, {});
    return Filter(ToggleFilterOption(true), MinMaxFilterOption(true, 25, std::nullopt), open, open, none,
                  none, none, OptionsFilterOption(true, {3, 5}), none);
}

TEST(FilterJSONMapper, WritesTheStoredFormAndReadsItBackEqual) {
    const FilterJSONMapper mapper;
    EXPECT_EQ(mapper.JSONDictionaryWithFilter(exampleFilter()), object(storedExample));
    EXPECT_EQ(*mapper.filterWithJSONDictionary(object(storedExample)), exampleFilter());
}

TEST(FilterJSONMapper, MissingOrNullPartsReadAsSwitchedOffOpenAndEmpty) {
    const FilterJSONMapper mapper;
    const auto filter = mapper.filterWithJSONDictionary(
        object(R"({"age": {"enabled": true, "min": null}, "bodyType": {"enabled": true, "ids": null}})"));
    EXPECT_FALSE(filter->photosOnly().isEnabled());
    EXPECT_EQ(filter->age(), MinMaxFilterOption(true, std::nullopt, std::nullopt));
    EXPECT_EQ(filter->weight(), MinMaxFilterOption(false, std::nullopt, std::nullopt));
    EXPECT_EQ(filter->bodyTypes(), OptionsFilterOption(true, {}));
    EXPECT_EQ(filter->tribes(), OptionsFilterOption(false, {}));
}

TEST(CascadeFilterJSONMapper, ThreeSwitchesAndMissingOnesOff) {
    const CascadeFilterJSONMapper mapper;
    EXPECT_EQ(mapper.JSONDictionaryWithCascadeFilter(CascadeFilter(true, false, true)),
              object(R"({"onlineNow": true, "myType": false, "favorite": true})"));
    const auto switches =
        mapper.cascadeFilterWithJSONDictionary(object(R"({"onlineNow": true, "myType": true})"));
    EXPECT_TRUE(switches->onlineNow());
    EXPECT_TRUE(switches->myType());
    EXPECT_FALSE(switches->favorite());
}

class FilterManagersTest : public testing::Test {
protected:
    test::TemporaryStore files;
    std::shared_ptr<TovrinPersistence> store = files.make();
};

TEST_F(FilterManagersTest, NothingSavedReadsAsNothingAndNothingGivenChangesNothing) {
    FilterManager filters(store);
    CascadeFilterManager switches(store);
    const auto first = filters.retrieveFilter();
    filters.setFilter(nullptr);
    switches.setCascadeFilter(nullptr);
    EXPECT_EQ(await(first), nullptr);
    EXPECT_EQ(await(filters.retrieveFilter()), nullptr);
    EXPECT_EQ(await(switches.retrieveCascadeFilter()), nullptr);
}

TEST_F(FilterManagersTest, AChangeIsReadAtOnceAndSurvivesIntoTheNextSession) {
    CascadeFilterManager switches(store);
    FilterManager filters(store);
    const auto earlier = switches.retrieveCascadeFilter();
    auto changed = std::make_shared<CascadeFilter>(false, true, false);
    switches.setCascadeFilter(changed);
    filters.setFilter(std::make_shared<Filter>(exampleFilter()));
    EXPECT_EQ(await(switches.retrieveCascadeFilter()), changed);
    EXPECT_EQ(await(earlier), nullptr);

    CascadeFilterManager nextSwitches(store);
    FilterManager nextFilters(store);
    EXPECT_TRUE(await(nextSwitches.retrieveCascadeFilter())->myType());
    EXPECT_EQ(*await(nextFilters.retrieveFilter()), exampleFilter());
}

}  // namespace
}  // namespace tovrin
