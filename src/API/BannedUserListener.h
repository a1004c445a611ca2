#pragma once

namespace tovrin {

// Told, before the request fails, each time the service refuses the member as banned.
class BannedUserListener {
public:
    virtual ~BannedUserListener() = default;
    virtual void userIsBanned() = 0;
};

}  // namespace tovrin
