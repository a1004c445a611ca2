#pragma once

#include <QString>
#include <optional>

#include "platform/foundation/Coordinate.h"

namespace tovrin::sandbox {

// The standard geohash: a position as a text of base-32 digits, each narrowing the cell.
class Geohash {
public:
    static QString encode(const Coordinate& position, int length = 12);
    // The centre of the hash's cell; nothing for an empty hash or a character outside the alphabet.
    static std::optional<Coordinate> decode(const QString& hash);
    // Metres along the earth's surface.
    static double distance(const Coordinate& from, const Coordinate& to);
};

}  // namespace tovrin::sandbox
