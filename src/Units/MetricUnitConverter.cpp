#include "Units/MetricUnitConverter.h"

#include "platform/foundation/Localization.h"

namespace tovrin {

QString MetricUnitConverter::heightStringFromCentimeters(double centimeters) const {
    return localizedString("%1 cm").arg(roundedInteger(centimeters));
}

QString MetricUnitConverter::distanceStringFromMeters(double meters) const {
    if (meters == 0) return QString();
    return distanceString(roundedInteger(meters), 1000.0, "%1 m away", "1 km away", "%1 km away");
}

QString MetricUnitConverter::weightStringFromGrams(double grams) const {
    return localizedString("%1 kg").arg(roundedInteger(grams / 1000.0));
}

}  // namespace tovrin
