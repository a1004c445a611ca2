#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Units/ImperialUnitConverter.h"
#include "Units/MetricUnitConverter.h"

namespace tovrin {
namespace {

struct TextCase {
    double canonical;
    const char* text;
};

TEST(UnitConverter, DistancesAtTheirThresholds) {
    const ImperialUnitConverter imperial;
    const MetricUnitConverter metric;
    for (const auto& [meters, text] : std::vector<TextCase>{{0, ""},
                                                            {0.1, "0 feet away"},
                                                            {0.3, "1 feet away"},
                                                            {1609, "5279 feet away"},
                                                            {1609.2, "1 mile away"},
                                                            {1610, "1 mile away"},
                                                            {2413.8, "1 mile away"},
                                                            {2414, "2 miles away"},
                                                            {16093, "10 miles away"}}) {
        EXPECT_EQ(imperial.distanceStringFromMeters(meters), text) << meters;
    }
    for (const auto& [meters, text] : std::vector<TextCase>{{0, ""},
                                                            {0.1, "0 m away"},
                                                            {999.4, "999 m away"},
                                                            {999.5, "1 km away"},
                                                            {1499, "1 km away"},
                                                            {1500, "2 km away"},
                                                            {12345, "12 km away"}}) {
        EXPECT_EQ(metric.distanceStringFromMeters(meters), text) << meters;
    }
}

TEST(UnitConverter, HeightsAndWeights) {
    const ImperialUnitConverter imperial;
    const MetricUnitConverter metric;
    for (const auto& [centimeters, text] :
         std::vector<TextCase>{{121.92, "4'0\""}, {122, "4'0\""}, {180, "5'11\""}, {241.3, "7'11\""}}) {
        EXPECT_EQ(imperial.heightStringFromCentimeters(centimeters), text) << centimeters;
    }
    EXPECT_EQ(metric.heightStringFromCentimeters(180.4), "180 cm");
    EXPECT_EQ(metric.heightStringFromCentimeters(180.5), "181 cm");
    EXPECT_EQ(imperial.weightStringFromGrams(75000), "165 lbs");
    EXPECT_EQ(metric.weightStringFromGrams(75500), "76 kg");
    EXPECT_EQ(metric.weightStringFromGrams(75499), "75 kg");
}

// What is no length or weight gives the empty text, as no distance does, instead of a count cast
// from it.
TEST(UnitConverter, ValuesThatAreNoMeasureGiveTheEmptyText) {
    const ImperialUnitConverter imperial;
    const MetricUnitConverter metric;
    const double infinity = std::numeric_limits<double>::infinity();
    for (const double value : {std::numeric_limits<double>::quiet_NaN(), infinity, -infinity, 1e300, -1e300,
                               1e20, -0.6, -1.0, -75000.0}) {
        SCOPED_TRACE(value);
        for (const UnitConverter* converter :
             std::initializer_list<const UnitConverter*>{&imperial, &metric}) {
            EXPECT_EQ(converter->distanceStringFromMeters(value), "");
            EXPECT_EQ(converter->heightStringFromCentimeters(value), "");
            EXPECT_EQ(converter->weightStringFromGrams(value), "");
        }
    }
    // The largest counts still shown.
    EXPECT_EQ(metric.distanceStringFromMeters(1e15), "1000000000000 km away");
    EXPECT_EQ(metric.heightStringFromCentimeters(1e15), "1000000000000000 cm");
    EXPECT_EQ(imperial.distanceStringFromMeters(1e15), "621371212121 miles away");
}

// Every value a picker offers is stored canonically and comes back as itself after rounding.
void expectPickersRoundTrip(const UnitConverter& converter, size_t heights, size_t weights) {
    size_t heightCount = 0;
    for (double value = converter.UIHeightUnitMinValue(); value <= converter.UIHeightUnitMaxValue();
         value += converter.UIHeightUnitStepperValue(), ++heightCount) {
        const double centimeters = converter.centimetersForHeightUnits(value);
        EXPECT_EQ(std::round(converter.heightUnitsForCentimeters(centimeters)), value);
    }
    size_t weightCount = 0;
    for (double value = converter.UIWeightUnitMinValue(); value <= converter.UIWeightUnitMaxValue();
         value += converter.UIWeightUnitStepperValue(), ++weightCount) {
        const double grams = converter.gramsForWeightUnits(value);
        EXPECT_EQ(std::round(converter.weightUnitsForGrams(grams)), value);
    }
    EXPECT_EQ(heightCount, heights);
    EXPECT_EQ(weightCount, weights);
}

TEST(UnitConverter, EveryPickerValueRoundTrips) {
    expectPickersRoundTrip(ImperialUnitConverter(), 48, 103);
    expectPickersRoundTrip(MetricUnitConverter(), 120, 232);
    const ImperialUnitConverter imperial;
    EXPECT_EQ(imperial.weightStringFromGrams(imperial.gramsForWeightUnits(95)), "95 lbs");
    EXPECT_EQ(imperial.heightStringFromCentimeters(imperial.centimetersForHeightUnits(95)), "7'11\"");
    EXPECT_EQ(MetricUnitConverter().centimetersForHeightUnits(122), 122);
}

}  // namespace
}  // namespace tovrin
