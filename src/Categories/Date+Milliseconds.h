#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/foundation/Date.h"

namespace tovrin {

// Dates on the wire and in the local store are milliseconds since 1970; fractions survive.
inline Date tvr_dateWithMillisecondsSince1970(double milliseconds) {
    return Date::fromMillisecondsSince1970(milliseconds);
}

// The date at a millisecond count read as a signed 64-bit integer: any fraction is cut toward zero,
// and counts beyond the 64-bit range are clamped to it.
inline Date tvr_dateWithWholeMillisecondsSince1970(double milliseconds) {
    constexpr double limit = 9223372036854775807.0;
    if (std::isnan(milliseconds)) return Date(0);
    const double clamped = std::clamp(std::trunc(milliseconds), -limit, limit);
    const qint64 whole = clamped >= limit ? std::numeric_limits<qint64>::max() : qint64(clamped);
    return tvr_dateWithMillisecondsSince1970(double(whole));
}

inline double tvr_millisecondsSince1970(Date date) {
    return date.millisecondsSince1970();
}

}  // namespace tovrin
