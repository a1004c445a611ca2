#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/Coordinate.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Error.h"

namespace tovrin {

// A position fix. A negative horizontal accuracy (metres) marks a fix whose position is not valid.
struct Location {
    Coordinate coordinate;
    double horizontalAccuracy = -1;
    Date timestamp;

    friend bool operator==(const Location&, const Location&) = default;
};

// The location layer's failures, with the phone's codes.
inline const QString LocationErrorDomain = QStringLiteral("LocationErrorDomain");
enum LocationErrorCode : qint64 {
    LocationErrorLocationUnknown = 0,
    LocationErrorDenied = 1,
    LocationErrorNetwork = 2,
};

enum class LocationAuthorizationStatus : int {
    NotDetermined = 0,
    Restricted = 1,
    Denied = 2,
    AuthorizedWhenInUse = 4,
};

class LocationManager;

// Told later, on the main queue, never inside the call that caused it.
class LocationManagerDelegate {
public:
    virtual ~LocationManagerDelegate() = default;
    // The newest fix is the last one.
    virtual void locationManagerDidUpdateLocations(LocationManager& manager,
                                                   const std::vector<Location>& locations) = 0;
    virtual void locationManagerDidFailWithError(LocationManager& manager, const Error& error) = 0;
    virtual void locationManagerDidChangeAuthorizationStatus(LocationManager& manager,
                                                             LocationAuthorizationStatus status) = 0;
};

// The phone's location manager: a permission to ask for, then position updates to its delegate.
class LocationManager {
public:
    virtual ~LocationManager() = default;

    void setDelegate(std::weak_ptr<LocationManagerDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<LocationManagerDelegate> delegate() const { return delegate_.lock(); }

    virtual LocationAuthorizationStatus authorizationStatus() const = 0;
    // Asks the member once, while the status is not determined; the answer comes as a status change.
    virtual void requestWhenInUseAuthorization() = 0;
    virtual void startUpdatingLocation() = 0;
    virtual void stopUpdatingLocation() = 0;

private:
    std::weak_ptr<LocationManagerDelegate> delegate_;
};

// Asks the member for the when-in-use permission. The answer is true when allowed, false when
// refused, and nothing when the question could not be put (no window to ask in).
class LocationAuthorizationPrompter {
public:
    using Answer = std::function<void(std::optional<bool> allowed)>;
    virtual ~LocationAuthorizationPrompter() = default;
    virtual void askForWhenInUseAuthorization(Answer answer) = 0;
};

}  // namespace tovrin
