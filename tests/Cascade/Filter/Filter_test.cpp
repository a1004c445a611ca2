#include "Cascade/Filter/Filter.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

Filter filterWith(MinMaxFilterOption age = MinMaxFilterOption(true, 20, std::nullopt),
                  OptionsFilterOption lookingFors = OptionsFilterOption(true, {1, 2}),
                  MinMaxFilterOption weight = MinMaxFilterOption(false, 50'000, std::nullopt)) {
    return Filter(ToggleFilterOption(false), age, weight,
                  MinMaxFilterOption(false, std::nullopt, std::nullopt), OptionsFilterOption(false, {}),
                  OptionsFilterOption(false, {}), OptionsFilterOption(false, {}), lookingFors,
                  OptionsFilterOption(false, {-1}));
}

TEST(Filter, EqualityComparesEveryValueOfEveryOption) {
    const Filter reference = filterWith();
    EXPECT_EQ(filterWith(), reference);
    EXPECT_EQ(filterWith().hash(), reference.hash());
    const Filter different[] = {
        filterWith(MinMaxFilterOption(true, 20, 20)),
        filterWith(MinMaxFilterOption(false, 20, std::nullopt)),
        filterWith(MinMaxFilterOption(true, 20, std::nullopt), OptionsFilterOption(true, {2, 1})),
        filterWith(MinMaxFilterOption(true, 20, std::nullopt), OptionsFilterOption(true, {1})),
        // A switched-off option with another value.
        filterWith(MinMaxFilterOption(true, 20, std::nullopt), OptionsFilterOption(true, {1, 2}),
                   MinMaxFilterOption(false, 60'000, std::nullopt)),
    };
    for (const Filter& filter : different) {
        EXPECT_NE(filter, reference);
        EXPECT_NE(filter.hash(), reference.hash());
    }
}

TEST(Filter, AnyFilterIsAppliedWhenAnOptionIsSwitchedOnWhateverItsValues) {
    const Filter off(
        ToggleFilterOption(false), MinMaxFilterOption(false, 20, 30), MinMaxFilterOption(false, 1, 2),
        MinMaxFilterOption(false, 3, 4), OptionsFilterOption(false, {1}), OptionsFilterOption(false, {2}),
        OptionsFilterOption(false, {3}), OptionsFilterOption(false, {4}), OptionsFilterOption(false, {5}));
    EXPECT_FALSE(off.isAnyFilterApplied());
    EXPECT_TRUE(
        filterWith(MinMaxFilterOption(true, std::nullopt, std::nullopt), OptionsFilterOption(false, {}))
            .isAnyFilterApplied());
    EXPECT_TRUE(
        filterWith(MinMaxFilterOption(false, 1, 2), OptionsFilterOption(true, {})).isAnyFilterApplied());
}

}  // namespace
}  // namespace tovrin
