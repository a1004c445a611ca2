#include "Units/UnitConverter.h"

#include <cmath>

#include "platform/foundation/Localization.h"

namespace tovrin {

namespace {

constexpr double LargestCount = 9007199254740992.0;  // 2^53

}  // namespace

std::optional<qint64> UnitConverter::roundedCount(double value) {
    if (!(value >= 0)) return std::nullopt;
    const double rounded = std::round(value);
    if (!(rounded <= LargestCount)) return std::nullopt;
    return static_cast<qint64>(rounded);
}

QString UnitConverter::distanceString(std::optional<qint64> smallUnits, double perLargeUnit,
                                      const char* smallFormat, const char* oneLargeText,
                                      const char* largeFormat) {
    if (!smallUnits) return QString();
    if (*smallUnits < perLargeUnit) return localizedString(smallFormat).arg(*smallUnits);
    const qint64 largeUnits = roundedCount(*smallUnits / perLargeUnit).value_or(0);
    if (largeUnits < 2) return localizedString(oneLargeText);
    return localizedString(largeFormat).arg(largeUnits);
}

QString UnitConverter::countString(const char* format, std::optional<qint64> count) {
    if (!count) return QString();
    return localizedString(format).arg(*count);
}

}  // namespace tovrin
