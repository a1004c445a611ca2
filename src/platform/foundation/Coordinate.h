#pragma once

namespace tovrin {

// A position on the earth in degrees.
struct Coordinate {
    double latitude = 0;
    double longitude = 0;

    bool isValid() const {
        return latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0;
    }
    friend bool operator==(const Coordinate&, const Coordinate&) = default;
};

}  // namespace tovrin
