#pragma once

#include "Units/UnitConverter.h"

namespace tovrin {

// Feet and inches, pounds, feet and miles.
class ImperialUnitConverter : public UnitConverter {
public:
    QString heightStringFromCentimeters(double centimeters) const override;
    QString distanceStringFromMeters(double meters) const override;
    QString weightStringFromGrams(double grams) const override;
    double centimetersForHeightUnits(double inches) const override { return inches * 2.54; }
    double heightUnitsForCentimeters(double centimeters) const override { return centimeters * 0.393701; }
    double gramsForWeightUnits(double pounds) const override { return pounds * 453.592; }
    double weightUnitsForGrams(double grams) const override { return grams * 0.00220462; }
    double UIHeightUnitMinValue() const override { return 48; }
    double UIHeightUnitMaxValue() const override { return 95; }
    double UIHeightUnitStepperValue() const override { return 1; }
    double UIWeightUnitMinValue() const override { return 90; }
    double UIWeightUnitMaxValue() const override { return 600; }
    double UIWeightUnitStepperValue() const override { return 5; }
};

}  // namespace tovrin
