#include "Units/ImperialUnitConverter.h"

#include "platform/foundation/Localization.h"

namespace tovrin {

QString ImperialUnitConverter::heightStringFromCentimeters(double centimeters) const {
    const std::optional<qint64> inches = roundedCount(heightUnitsForCentimeters(centimeters));
    if (!inches) return QString();
    return localizedString("%1'%2\"").arg(*inches / 12).arg(*inches % 12);
}

QString ImperialUnitConverter::distanceStringFromMeters(double meters) const {
    if (meters == 0) return QString();
    return distanceString(roundedCount(3.28084 * meters), 5280.0, "%1 feet away", "1 mile away",
                          "%1 miles away");
}

QString ImperialUnitConverter::weightStringFromGrams(double grams) const {
    return countString("%1 lbs", roundedCount(weightUnitsForGrams(grams)));
}

}  // namespace tovrin
