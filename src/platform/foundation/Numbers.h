#pragma once

#include <QtGlobal>
#include <optional>

namespace tovrin {

// The whole part of a double as a 64-bit integer, or nothing for NaN, an infinity or a value beyond
// the 64-bit range, where a cast would be undefined.
inline std::optional<qint64> integerIfInRange(double value) {
    constexpr double limit = 9223372036854775808.0;  // 2^63
    if (!(value >= -limit && value < limit)) return std::nullopt;
    return static_cast<qint64>(value);
}

}  // namespace tovrin
