#include "Units/ImperialUnitConverter.h"

#include "platform/foundation/Localization.h"

namespace tovrin {

QString ImperialUnitConverter::heightStringFromCentimeters(double centimeters) const {
    const qint64 inches = roundedInteger(heightUnitsForCentimeters(centimeters));
    return localizedString("%1'%2\"").arg(inches / 12).arg(inches % 12);
}

QString ImperialUnitConverter::distanceStringFromMeters(double meters) const {
    if (meters == 0) return QString();
    return distanceString(roundedInteger(3.28084 * meters), 5280.0, "%1 feet away", "1 mile away",
                          "%1 miles away");
}

QString ImperialUnitConverter::weightStringFromGrams(double grams) const {
    return localizedString("%1 lbs").arg(roundedInteger(weightUnitsForGrams(grams)));
}

}  // namespace tovrin
