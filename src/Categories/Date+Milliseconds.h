#pragma once

#include "platform/foundation/Date.h"

namespace tovrin {

// Dates on the wire and in the local store are milliseconds since 1970; fractions survive.
inline Date tvr_dateWithMillisecondsSince1970(double milliseconds) {
    return Date::fromMillisecondsSince1970(milliseconds);
}

inline double tvr_millisecondsSince1970(Date date) {
    return date.millisecondsSince1970();
}

}  // namespace tovrin
