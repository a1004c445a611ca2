#pragma once

#include <QString>
#include <optional>

namespace tovrin {

// Turns canonical heights (centimetres), weights (grams) and distances (metres) into texts and
// picker values in the member's unit system. A value that is no length or weight (not a number, an
// infinity, below zero, or too large to count in whole units) gives the empty text, as no distance
// does.
class UnitConverter {
public:
    virtual ~UnitConverter() = default;

    virtual QString heightStringFromCentimeters(double centimeters) const = 0;
    virtual QString distanceStringFromMeters(double meters) const = 0;
    virtual QString weightStringFromGrams(double grams) const = 0;
    virtual double centimetersForHeightUnits(double heightUnits) const = 0;
    virtual double heightUnitsForCentimeters(double centimeters) const = 0;
    virtual double gramsForWeightUnits(double weightUnits) const = 0;
    virtual double weightUnitsForGrams(double grams) const = 0;
    virtual double UIHeightUnitMinValue() const = 0;
    virtual double UIHeightUnitMaxValue() const = 0;
    virtual double UIHeightUnitStepperValue() const = 0;
    virtual double UIWeightUnitMinValue() const = 0;
    virtual double UIWeightUnitMaxValue() const = 0;
    virtual double UIWeightUnitStepperValue() const = 0;

protected:
    // Half away from zero, as a whole number; nothing for a value below zero, not finite, or beyond
    // the whole numbers a double counts exactly (2^53).
    static std::optional<qint64> roundedCount(double value);
    // The distance text shared by both systems: the small unit below `perLargeUnit`, then the
    // large unit counted from the rounded small one; empty for no count.
    static QString distanceString(std::optional<qint64> smallUnits, double perLargeUnit,
                                  const char* smallFormat, const char* oneLargeText, const char* largeFormat);
    // The format filled with the count; empty for no count.
    static QString countString(const char* format, std::optional<qint64> count);
};

}  // namespace tovrin
