#pragma once

#include <QJsonObject>
#include <memory>

#include "API/NearbyUser.h"
#include "Helpers/DeviceCurrentDateProvider.h"
#include "platform/di/Inject.h"

namespace tovrin {

// The one JSON form of a member, read from the nearby-users, profile and conversation answers and
// written to and read from the local store: "profileId", "displayName", "profileImageMediaHash",
// "age", "seen" (milliseconds since 1970), "distance", "isFavorite". The online flag is not
// written: reading sets it when "seen" lies at most 600 s before the device clock. Safe on any
// thread.
class NearbyUserJSONMapper {
public:
    explicit NearbyUserJSONMapper(std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider);
    virtual ~NearbyUserJSONMapper() = default;

    using Dependencies = Inject<DeviceCurrentDateProvider>;

    // Nothing (nullptr) for an object without a usable "profileId" (a non-empty string or a whole
    // number): a list skips it. "isFavorite" may also be given as 0 or 1.
    std::shared_ptr<NearbyUser> nearbyUserWithJSONDictionary(const QJsonObject& dictionary) const;
    // Exactly the seven members; absent values are JSON null.
    QJsonObject JSONDictionaryWithNearbyUser(const NearbyUser& user) const;

    const std::shared_ptr<DeviceCurrentDateProvider>& currentDateProvider() const {
        return currentDateProvider_;
    }

    static constexpr double onlineInterval = 600;

private:
    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider_;
};

}  // namespace tovrin
