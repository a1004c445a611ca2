#pragma once

#include <memory>
#include <vector>

#include "API/NearbyUser.h"
#include "platform/foundation/Date.h"

namespace tovrin {

// One fetched page of the nearby grid: its users, in the order of the answer, and when it stops
// being current.
class NearbyUsersWithExpirationDate {
public:
    NearbyUsersWithExpirationDate(Date expirationDate, std::vector<std::shared_ptr<NearbyUser>> nearbyUsers)
        : expirationDate_(expirationDate), nearbyUsers_(std::move(nearbyUsers)) {}

    Date expirationDate() const { return expirationDate_; }
    const std::vector<std::shared_ptr<NearbyUser>>& nearbyUsers() const { return nearbyUsers_; }

private:
    Date expirationDate_;
    std::vector<std::shared_ptr<NearbyUser>> nearbyUsers_;
};

}  // namespace tovrin
