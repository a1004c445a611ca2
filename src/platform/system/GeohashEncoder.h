#pragma once

#include <QString>

#include "platform/foundation/Coordinate.h"

namespace tovrin {

// The standard geohash: a position as base-32 digits, each narrowing the cell by turns in
// longitude and latitude. A position outside the valid range is clamped to it first.
class GeohashEncoder {
public:
    static constexpr int DefaultLength = 12;

    static QString encode(const Coordinate& position, int length = DefaultLength);
    static const char* alphabet();
};

}  // namespace tovrin
