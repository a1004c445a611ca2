#pragma once

#include "Units/UnitConverter.h"

namespace tovrin {

// Centimetres, kilograms (pickers count grams), metres and kilometres.
class MetricUnitConverter : public UnitConverter {
public:
    QString heightStringFromCentimeters(double centimeters) const override;
    QString distanceStringFromMeters(double meters) const override;
    QString weightStringFromGrams(double grams) const override;
    double centimetersForHeightUnits(double centimeters) const override { return centimeters; }
    double heightUnitsForCentimeters(double centimeters) const override { return centimeters; }
    double gramsForWeightUnits(double grams) const override { return grams; }
    double weightUnitsForGrams(double grams) const override { return grams; }
    double UIHeightUnitMinValue() const override { return 122; }
    double UIHeightUnitMaxValue() const override { return 241; }
    double UIHeightUnitStepperValue() const override { return 1; }
    double UIWeightUnitMinValue() const override { return 41000; }
    double UIWeightUnitMaxValue() const override { return 272000; }
    double UIWeightUnitStepperValue() const override { return 1000; }
};

}  // namespace tovrin
