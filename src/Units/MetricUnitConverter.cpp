#include "Units/MetricUnitConverter.h"

#include "platform/foundation/Localization.h"

namespace tovrin {

QString MetricUnitConverter::heightStringFromCentimeters(double centimeters) const {
    return countString("%1 cm", roundedCount(centimeters));
}

QString MetricUnitConverter::distanceStringFromMeters(double meters) const {
    if (meters == 0) return QString();
    return distanceString(roundedCount(meters), 1000.0, "%1 m away", "1 km away", "%1 km away");
}

QString MetricUnitConverter::weightStringFromGrams(double grams) const {
    return countString("%1 kg", roundedCount(grams / 1000.0));
}

}  // namespace tovrin
