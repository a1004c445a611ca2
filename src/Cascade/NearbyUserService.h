#pragma once

#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "Cascade/NearbyUsersWithExpirationDate.h"
#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"
#include "platform/foundation/URLQueryItem.h"
#include "platform/system/LocationManager.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class DeviceCurrentDateProvider;
class Filter;
class MinMaxFilterOption;
class NearbyUserJSONMapper;
class OptionsFilterOption;
class ToggleFilterOption;
class TovrinWebAPIThrottler;

inline const QString kProfilesKey = QStringLiteral("profiles");
inline const QString kTTLKey = QStringLiteral("ttl");

// One page of the members around a position, with the moment the page expires.
class NearbyUserService : public ThrottledService {
public:
    NearbyUserService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint, std::shared_ptr<Throttler> throttler,
                      std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider,
                      std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper);

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler, DeviceCurrentDateProvider,
                                NearbyUserJSONMapper>;

    // GET "/v3/locations/<12-character geohash>/profiles"; the page number is counted from 0 here
    // and from 1 on the wire. Failures of the web client pass on unchanged; an answer that is no
    // object or whose "profiles" is present but no array fails with 9.
    Promise<NearbyUsersWithExpirationDate> usersNearLocation(const Location& location,
                                                             const std::shared_ptr<const Filter>& filter,
                                                             bool onlineOnly, bool favoritesOnly,
                                                             quint32 pageNumber);

    static URLQueryItems queryItemsForToggleFilterOption(const ToggleFilterOption& option,
                                                         const QString& name);
    static URLQueryItems queryItemsForMinMaxFilterOption(const MinMaxFilterOption& option,
                                                         const QString& baseName);
    static URLQueryItems queryItemsForOptionsFilterOption(const OptionsFilterOption& option,
                                                          const QString& name);
    static QString stringWithCommaSeparation(const std::vector<qint64>& values);
    // The shortest text that reads back as the same number, whatever the locale: 18 → "18".
    static QString boundText(double value);

    // Elements that are no objects or have no profile id are dropped; the others keep their order.
    std::vector<std::shared_ptr<NearbyUser>> nearbyUsersFromJSON(const QJsonObject& json) const;
    // Now plus the whole seconds of "ttl" (milliseconds); a "ttl" that is no number counts as 0.
    Date TTLDateFromJSON(const QJsonObject& json) const;

    const std::shared_ptr<DeviceCurrentDateProvider>& currentDateProvider() const {
        return currentDateProvider_;
    }
    const std::shared_ptr<NearbyUserJSONMapper>& nearbyUserJSONMapper() const {
        return nearbyUserJSONMapper_;
    }

private:
    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider_;
    std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper_;
};

}  // namespace tovrin
