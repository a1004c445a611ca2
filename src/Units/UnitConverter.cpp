#include "Units/UnitConverter.h"

#include <cmath>

#include "platform/foundation/Localization.h"

namespace tovrin {

qint64 UnitConverter::roundedInteger(double value) {
    return static_cast<qint64>(std::round(value));
}

QString UnitConverter::distanceString(qint64 smallUnits, double perLargeUnit, const char* smallFormat,
                                      const char* oneLargeText, const char* largeFormat) {
    if (smallUnits < perLargeUnit) return localizedString(smallFormat).arg(smallUnits);
    const qint64 largeUnits = roundedInteger(smallUnits / perLargeUnit);
    if (largeUnits < 2) return localizedString(oneLargeText);
    return localizedString(largeFormat).arg(largeUnits);
}

}  // namespace tovrin
