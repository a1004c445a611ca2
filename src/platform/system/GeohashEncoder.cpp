#include "platform/system/GeohashEncoder.h"

#include <algorithm>
#include <cmath>

namespace tovrin {

namespace {

struct GeohashRange {
    double low;
    double high;

    double middle() const { return (low + high) / 2; }
};

// NaN has no cell; it counts as the lower edge rather than walking off the alphabet.
double clampedDegrees(double value, double limit) {
    if (std::isnan(value)) return -limit;
    return std::clamp(value, -limit, limit);
}

}  // namespace

const char* GeohashEncoder::alphabet() {
    return "0123456789bcdefghjkmnpqrstuvwxyz";
}

QString GeohashEncoder::encode(const Coordinate& position, int length) {
    const double latitudeValue = clampedDegrees(position.latitude, 90);
    const double longitudeValue = clampedDegrees(position.longitude, 180);
    GeohashRange latitude{-90, 90};
    GeohashRange longitude{-180, 180};
    QString hash;
    hash.reserve(std::max(length, 0));
    bool longitudeBit = true;
    while (hash.size() < length) {
        int digit = 0;
        for (int bit = 0; bit < 5; ++bit, longitudeBit = !longitudeBit) {
            GeohashRange& range = longitudeBit ? longitude : latitude;
            const double value = longitudeBit ? longitudeValue : latitudeValue;
            const bool upper = value >= range.middle();
            digit = (digit << 1) | (upper ? 1 : 0);
            (upper ? range.low : range.high) = range.middle();
        }
        hash += QLatin1Char(alphabet()[digit]);
    }
    return hash;
}

}  // namespace tovrin
