#pragma once

#include <QtGlobal>
#include <optional>

#include "platform/foundation/Date.h"

namespace tovrin {

// The recent run of server errors of one action. Immutable.
class ThrottleActionState {
public:
    ThrottleActionState() = default;
    ThrottleActionState(quint64 failureCount, std::optional<Date> lastFailureDate, double intervalToDeny)
        : failureCount_(failureCount), lastFailureDate_(lastFailureDate), intervalToDeny_(intervalToDeny) {}

    quint64 failureCount() const { return failureCount_; }
    // Device time of the latest counted error.
    const std::optional<Date>& lastFailureDate() const { return lastFailureDate_; }
    // Seconds after the latest error during which a long enough run is refused.
    double intervalToDeny() const { return intervalToDeny_; }

private:
    quint64 failureCount_ = 0;
    std::optional<Date> lastFailureDate_;
    double intervalToDeny_ = 0;
};

}  // namespace tovrin
