#pragma once

#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

#include "platform/di/Inject.h"
#include "platform/system/LocationManager.h"

class QObject;
class QGeoPositionInfoSource;

namespace tovrin {

class Bundle;
class UserDefaults;

// The location manager of this machine. The permission lives in the user defaults (preset by
// "TovrinLocationAuthorization" in the information dictionary); positions come from
// "TovrinFixedLocation" ({"latitude", "longitude", "accuracy"}, accuracy 10 m by default), else a
// replayed "TovrinNMEAReplayFile", else the system's positioning when it names a method; with none
// of them, starting updates fails with code 0.
class SystemLocationManager : public LocationManager,
                              public std::enable_shared_from_this<SystemLocationManager> {
public:
    static const QString AuthorizationStatusDefaultsKey;
    static const QString AuthorizationInfoKey;
    static const QString FixedLocationInfoKey;
    static const QString NMEAReplayFileInfoKey;
    static constexpr double DefaultFixedAccuracy = 10;
    // Metres of range error in a replayed file; a fix reads as twice this times its dilution.
    static constexpr double NMEAUserEquivalentRangeError = 5;

    using DefaultSourceFactory = std::function<QGeoPositionInfoSource*(QObject* parent)>;

    SystemLocationManager(std::shared_ptr<UserDefaults> defaults, std::shared_ptr<Bundle> bundle,
                          std::shared_ptr<LocationAuthorizationPrompter> prompter,
                          DefaultSourceFactory defaultSource = {});
    ~SystemLocationManager() override;

    using Dependencies = Inject<UserDefaults, Bundle, LocationAuthorizationPrompter>;

    LocationAuthorizationStatus authorizationStatus() const override;
    void requestWhenInUseAuthorization() override;
    void startUpdatingLocation() override;
    void stopUpdatingLocation() override;

    bool isUpdatingLocation() const { return updating_; }

private:
    void beginUpdates();
    void endSource();
    void answer(std::optional<bool> allowed);
    // Later, on the main queue, and only while the updates that asked are still running.
    void deliverLater(std::function<void(LocationManagerDelegate&, LocationManager&)> call);
    void failLater(qint64 code);

    std::shared_ptr<UserDefaults> defaults_;
    std::shared_ptr<Bundle> bundle_;
    std::shared_ptr<LocationAuthorizationPrompter> prompter_;
    DefaultSourceFactory defaultSource_;
    bool updating_ = false;
    bool asking_ = false;
    quint64 run_ = 0;
    QGeoPositionInfoSource* source_ = nullptr;
};

}  // namespace tovrin
