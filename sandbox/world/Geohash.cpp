#include "sandbox/world/Geohash.h"

#include <QtMath>

#include "platform/system/GeohashEncoder.h"

namespace tovrin::sandbox {

namespace {

constexpr double earthRadius = 6371000;

struct Range {
    double low;
    double high;

    double middle() const { return (low + high) / 2; }
    // Narrows to the half the bit names.
    void narrow(bool upper) { (upper ? low : high) = middle(); }
};

}  // namespace

QString Geohash::encode(const Coordinate& position, int length) {
    return GeohashEncoder::encode(position, length);
}

std::optional<Coordinate> Geohash::decode(const QString& hash) {
    if (hash.isEmpty()) return std::nullopt;
    Range latitude{-90, 90};
    Range longitude{-180, 180};
    bool longitudeBit = true;
    for (const QChar character : hash) {
        const char* alphabet = GeohashEncoder::alphabet();
        const char* found =
            character.unicode() < 128 ? strchr(alphabet, character.toLower().toLatin1()) : nullptr;
        if (found == nullptr || *found == '\0') return std::nullopt;
        const int digit = static_cast<int>(found - alphabet);
        for (int bit = 4; bit >= 0; --bit, longitudeBit = !longitudeBit) {
            (longitudeBit ? longitude : latitude).narrow((digit >> bit) & 1);
        }
    }
    return Coordinate{latitude.middle(), longitude.middle()};
}

double Geohash::distance(const Coordinate& from, const Coordinate& to) {
    const double latitude1 = qDegreesToRadians(from.latitude);
    const double latitude2 = qDegreesToRadians(to.latitude);
    const double deltaLatitude = latitude2 - latitude1;
    const double deltaLongitude = qDegreesToRadians(to.longitude - from.longitude);
    const double a = std::pow(std::sin(deltaLatitude / 2), 2) +
                     std::cos(latitude1) * std::cos(latitude2) * std::pow(std::sin(deltaLongitude / 2), 2);
    return 2 * earthRadius * std::asin(std::min(1.0, std::sqrt(a)));
}

}  // namespace tovrin::sandbox
